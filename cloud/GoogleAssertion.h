#pragma once
// The signed JWT a Google service account trades for a person's access token (domain-wide
// delegation: the token acts as the person named in "sub").
#include <QByteArray>

#include <cstdint>
#include <string>

#include "cloud/GoogleServiceAccount.h"
#include "cloud/RsaSigner.h"

// header {"alg":"RS256","typ":"JWT","kid":private_key_id}; claims iss = client_email, sub = the
// person, scope = calendar.readonly, aud = token_uri, iat, exp = iat + one hour.
QByteArray googleAssertion(const GoogleServiceAccount& account, const RsaSigner& signer, const std::string& subject,
                           std::int64_t issuedAt);
