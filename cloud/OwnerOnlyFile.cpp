#include "cloud/OwnerOnlyFile.h"

#include "cloud/CloudErrors.h"
#include "text/SecretFile.h"

namespace quorvane {

std::string readOwnerOnlyFile(const std::string& path, std::string_view what) {
    try {
        return readSecretFile(path, what);
    } catch (const SecretFileError& error) {
        throw CloudCredentialsError(error.what());
    }
}

}  // namespace quorvane
