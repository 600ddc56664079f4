// The wall page's translation tables: every language has every text of the default one, of the
// same shape (as many day and month names) and with the same {names} to fill in.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include "pages/WallPage.h"

using namespace quorvane;

namespace {

QJsonObject table(std::string_view language) {
    const std::string_view texts = wallTexts(language);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(texts.data(), qsizetype(texts.size())), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << language << ": " << error.errorString().toStdString();
    return document.object();
}

QSet<QString> fillIns(const QString& text) {
    QSet<QString> names;
    for (const QRegularExpressionMatch& match : QRegularExpression("\\{(\\w+)\\}").globalMatch(text))
        names.insert(match.captured(1));
    return names;
}

// Compares the value with the default language's at the same place; path names it in a failure.
void expectSameShape(const QJsonValue& value, const QJsonValue& model, const std::string& path) {
    ASSERT_EQ(value.type(), model.type()) << path;
    if (model.isString()) {
        EXPECT_FALSE(value.toString().trimmed().isEmpty()) << path;
        EXPECT_EQ(fillIns(value.toString()), fillIns(model.toString())) << path;
    } else if (model.isArray()) {
        ASSERT_EQ(value.toArray().size(), model.toArray().size()) << path;
        for (qsizetype i = 0; i < model.toArray().size(); ++i)
            expectSameShape(value.toArray()[i], model.toArray()[i], path + "[" + std::to_string(i) + "]");
    } else {
        EXPECT_EQ(value.toObject().keys(), model.toObject().keys()) << path;
        for (const QString& key : model.toObject().keys())
            expectSameShape(value.toObject()[key], model.toObject()[key], path + "." + key.toStdString());
    }
}

TEST(WallTextsTest, EveryLanguageHasEveryTextOfTheDefaultOne) {
    const std::vector<std::string_view> languages = wallLanguages();
    ASSERT_EQ(languages.size(), 9u);
    EXPECT_EQ(languages.front(), "en");
    const QJsonObject model = table("en");
    ASSERT_FALSE(model.isEmpty());
    for (std::string_view language : languages) expectSameShape(table(language), model, std::string(language));
    EXPECT_TRUE(wallTexts("xx").empty());
}

}  // namespace
