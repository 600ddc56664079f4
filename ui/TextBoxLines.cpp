#include "ui/TextBoxLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/UiConstants.h"

namespace quorvane {

namespace {

QString fromBytes(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::string toBytes(const QString& text) { return text.toUtf8().toStdString(); }

// Cuts UTF-8 text to at most limit bytes without splitting a multi-byte character.
std::string cutAtCharBoundary(std::string text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

}  // namespace

int TextBoxLines::count() const {
    const QTextDocument* doc = box_.document();
    int blocks = doc->blockCount();
    if (doc->lastBlock().length() <= 1) --blocks;  // the empty remainder after the last break
    return blocks;
}

std::string TextBoxLines::get(int index) const {
    if (index < 0 || index >= count()) return {};
    return cutAtCharBoundary(toBytes(box_.document()->findBlockByNumber(index).text()), TextBoxLineReadLimit);
}

void TextBoxLines::put(int index, const std::string& text) {
    QTextBlock block = index == -1 ? box_.textCursor().block() : box_.document()->findBlockByNumber(index);
    if (index != -1 && (index < 0 || index >= count())) return;
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(fromBytes(text));
}

int TextBoxLines::add(const std::string& text) {
    QTextDocument* doc = box_.document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    const bool endsWithBreak = doc->lastBlock().length() <= 1;
    cursor.beginEditBlock();
    if (endsWithBreak) {
        cursor.insertText(fromBytes(text));
        cursor.insertBlock();
    } else {
        cursor.insertBlock();
        cursor.insertText(fromBytes(text));
    }
    cursor.endEditBlock();
    return count() - 1;
}

void TextBoxLines::addLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    QString joined;
    for (const std::string& line : lines) {
        joined += fromBytes(line);
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

void TextBoxLines::deleteFirst(int lineCount) {
    if (lineCount <= 0) return;
    if (lineCount >= count()) {
        // Every line goes, and with the last one its break (or the remainder after it).
        QTextCursor cursor(box_.document());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        return;
    }
    QTextCursor cursor(box_.document());
    cursor.setPosition(box_.document()->findBlockByNumber(lineCount).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TextBoxLines::remove(int index) {
    if (index < 0 || index >= count()) return;
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

void TextBoxLines::clear() { box_.clear(); }

std::string TextBoxLines::text() const {
    std::string text;
    const QTextDocument* doc = box_.document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin()) text += "\r\n";
        text += toBytes(block.text());
    }
    return text;
}

void TextBoxLines::setText(const std::string& text) {
    QString content = fromBytes(text);
    content.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    content.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box_.setPlainText(content);
}

}  // namespace quorvane
