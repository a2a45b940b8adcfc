#include "CsvReader.h"

#include "CsvError.h"
#include "data/jet4/read/NativePath.h"

#include <QFile>
#include <QSet>

namespace convodesk::dbtool {

namespace {
// Byte offset of the first byte that does not start a valid UTF-8 sequence; -1 if all are valid.
qsizetype firstInvalidUtf8(const QByteArray& b) {
    const auto n = b.size();
    qsizetype i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(b[i]);
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return i;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n)
                return i;
            const auto cc = static_cast<unsigned char>(b[i + k]);
            if ((cc & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (cc & 0x3F);
        }
        const char32_t minimum = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return i;
        i += extra + 1;
    }
    return -1;
}

class Parser {
public:
    Parser(const QString& text, const QString& fileName) : s_(text), file_(fileName) {}

    CsvTable run() {
        CsvTable table;
        table.fileName = file_;
        bool haveHeader = false;
        while (pos_ < s_.size()) {
            if (atLineEnd()) { // blank line
                skipLineEnd();
                continue;
            }
            const int recordLine = line_;
            std::vector<CsvTable::Field> record = readRecord();
            if (!haveHeader) {
                table.header = headerNames(record, recordLine);
                haveHeader = true;
                continue;
            }
            if (record.size() != static_cast<std::size_t>(table.header.size()))
                throw CsvError::at(file_, recordLine, 0,
                                   QStringLiteral("the row has %1 fields but the header names %2 columns.")
                                       .arg(record.size())
                                       .arg(table.header.size()));
            table.rows.push_back(std::move(record));
            table.rowLines.push_back(recordLine);
        }
        if (!haveHeader)
            throw CsvError::at(file_, 1, 0, QStringLiteral("the file is empty; a header row is required."));
        return table;
    }

private:
    bool atLineEnd() const { return s_[pos_] == QLatin1Char('\n') || s_[pos_] == QLatin1Char('\r'); }
    void skipLineEnd() {
        if (s_[pos_] == QLatin1Char('\r') && pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('\n'))
            ++pos_;
        ++pos_;
        ++line_;
        lineStart_ = pos_;
    }
    int column() const { return static_cast<int>(pos_ - lineStart_) + 1; }

    std::vector<CsvTable::Field> readRecord() {
        std::vector<CsvTable::Field> record;
        while (true) {
            record.push_back(readField(static_cast<int>(record.size()) + 1));
            if (pos_ >= s_.size())
                return record;
            if (s_[pos_] == QLatin1Char(',')) {
                ++pos_;
                if (pos_ >= s_.size() || atLineEnd()) {
                    record.push_back(std::nullopt);
                    if (pos_ < s_.size())
                        skipLineEnd();
                    return record;
                }
                continue;
            }
            skipLineEnd();
            return record;
        }
    }

    CsvTable::Field readField(int fieldNumber) {
        if (pos_ < s_.size() && s_[pos_] == QLatin1Char('"'))
            return readQuoted(fieldNumber);
        const qsizetype start = pos_;
        while (pos_ < s_.size() && s_[pos_] != QLatin1Char(',') && !atLineEnd()) {
            if (s_[pos_] == QLatin1Char('"'))
                throw CsvError::at(
                    file_, line_, fieldNumber,
                    QStringLiteral("a quote inside an unquoted field; quote the whole field and "
                                   "double the quote."));
            ++pos_;
        }
        if (pos_ == start)
            return std::nullopt;
        return s_.mid(start, pos_ - start);
    }

    CsvTable::Field readQuoted(int fieldNumber) {
        const int openLine = line_;
        ++pos_;
        QString value;
        while (true) {
            if (pos_ >= s_.size())
                throw CsvError::at(file_, openLine, fieldNumber,
                                   QStringLiteral("the quoted field is not closed (unterminated quote)."));
            const QChar c = s_[pos_];
            if (c == QLatin1Char('"')) {
                if (pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('"')) {
                    value.append(c);
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                const bool crlf =
                    c == QLatin1Char('\r') && pos_ + 1 < s_.size() && s_[pos_ + 1] == QLatin1Char('\n');
                value.append(crlf ? QStringLiteral("\r\n") : QString(c));
                if (crlf)
                    ++pos_;
                ++pos_;
                ++line_;
                lineStart_ = pos_;
                continue;
            }
            value.append(c);
            ++pos_;
        }
        if (pos_ < s_.size() && s_[pos_] != QLatin1Char(',') && !atLineEnd())
            throw CsvError::at(file_, line_, fieldNumber,
                               QStringLiteral("unexpected text after the closing quote of a field."));
        return value;
    }

    QStringList headerNames(const std::vector<CsvTable::Field>& record, int line) const {
        QStringList names;
        QSet<QString> seen;
        for (std::size_t i = 0; i < record.size(); ++i) {
            const QString name = record[i].value_or(QString()).trimmed();
            const int column = static_cast<int>(i) + 1;
            if (name.isEmpty())
                throw CsvError::at(file_, line, column, QStringLiteral("the header names no column here."));
            if (seen.contains(name.toLower()))
                throw CsvError::at(file_, line, column, QStringLiteral("duplicate header \"%1\".").arg(name));
            seen.insert(name.toLower());
            names.append(name);
        }
        return names;
    }

    const QString& s_;
    QString file_;
    qsizetype pos_ = 0;
    qsizetype lineStart_ = 0;
    int line_ = 1;
};
} // namespace

QString CsvReader::decodeUtf8(const QByteArray& bytes, const QString& fileName) {
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const qsizetype bad = firstInvalidUtf8(body);
    if (bad >= 0) {
        const QByteArray before = body.left(bad);
        const int line = static_cast<int>(before.count('\n')) + 1;
        const QString lineText = QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1));
        throw CsvError(QStringLiteral("%1, line %2, character %3: invalid UTF-8 (save the file as UTF-8).")
                           .arg(fileName)
                           .arg(line)
                           .arg(lineText.size() + 1));
    }
    return QString::fromUtf8(body);
}

CsvTable CsvReader::parse(const QByteArray& bytes, const QString& fileName) {
    const QString text = decodeUtf8(bytes, fileName);
    return Parser(text, fileName).run();
}

CsvTable CsvReader::readFile(const QString& path) {
    QFile file;
    if (const QString problem = jet4::NativePath::openForReading(file, path); !problem.isEmpty())
        throw CsvError(QStringLiteral("%1: cannot read the file: %2").arg(path, problem));
    return parse(file.readAll(), path);
}

} // namespace convodesk::dbtool
