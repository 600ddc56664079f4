#include "ui/MemoStrings.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/UiConstants.h"

namespace {

QString FromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string ToBytes(const QString& text) { return text.toUtf8().toStdString(); }

// Cuts UTF-8 text to at most limit bytes without splitting a multi-byte character.
std::string CutAtCharBoundary(std::string text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

}  // namespace

int TMemoStrings::Count() const {
    const QTextDocument* doc = box_.document();
    int blocks = doc->blockCount();
    if (doc->lastBlock().length() <= 1) --blocks;  // the empty remainder after the last break
    return blocks;
}

std::string TMemoStrings::Get(int index) const {
    if (index < 0 || index >= Count()) return {};
    return CutAtCharBoundary(ToBytes(box_.document()->findBlockByNumber(index).text()), MemoLineReadLimit);
}

void TMemoStrings::Put(int index, const std::string& text) {
    QTextBlock block = index == -1 ? box_.textCursor().block() : box_.document()->findBlockByNumber(index);
    if (index != -1 && (index < 0 || index >= Count())) return;
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(FromBytes(text));
}

int TMemoStrings::Add(const std::string& text) {
    QTextDocument* doc = box_.document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    const bool endsWithBreak = doc->lastBlock().length() <= 1;
    cursor.beginEditBlock();
    if (endsWithBreak) {
        cursor.insertText(FromBytes(text));
        cursor.insertBlock();
    } else {
        cursor.insertBlock();
        cursor.insertText(FromBytes(text));
    }
    cursor.endEditBlock();
    return Count() - 1;
}

void TMemoStrings::AddLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    QString joined;
    for (const std::string& line : lines) {
        joined += FromBytes(line);
        joined += QLatin1Char('\n');  // a block break, as in Add
    }
    QTextDocument* doc = box_.document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (doc->lastBlock().length() > 1) {
        // Content without a final break: every line goes after a break, none after the last.
        joined.chop(1);
        cursor.insertBlock();
    }
    cursor.insertText(joined);
    cursor.endEditBlock();
}

void TMemoStrings::DeleteFirst(int count) {
    if (count <= 0) return;
    if (count >= Count()) {
        // Every line goes, and with the last one its break (or the remainder after it).
        QTextCursor cursor(box_.document());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        return;
    }
    QTextCursor cursor(box_.document());
    cursor.setPosition(box_.document()->findBlockByNumber(count).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TMemoStrings::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    QTextDocument* doc = box_.document();
    QTextBlock block = doc->findBlockByNumber(index);
    QTextCursor cursor(block);
    QTextBlock next = block.next();
    if (next.isValid())
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    else
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TMemoStrings::Clear() { box_.clear(); }

std::string TMemoStrings::Text() const {
    std::string text;
    const QTextDocument* doc = box_.document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin()) text += "\r\n";
        text += ToBytes(block.text());
    }
    return text;
}

void TMemoStrings::SetText(const std::string& text) {
    QString content = FromBytes(text);
    content.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box_.setPlainText(content);
}
