#include "NativePath.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convodesk::jet4 {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when the byte there does not
// start one (overlong forms, surrogates and values past U+10FFFF are not valid).
int validSequenceLength(const QByteArray& bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (int k = 2; k < length; ++k)
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    return length;
}

bool isEscape(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

} // namespace

QString NativePath::decode(const QByteArray& bytes) {
    QString result;
    result.reserve(bytes.size());
    qsizetype runStart = 0; // start of the valid bytes not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = validSequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        result += QString::fromUtf8(bytes.constData() + runStart, i - runStart);
        result += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
        runStart = ++i;
    }
    result += QString::fromUtf8(bytes.constData() + runStart, bytes.size() - runStart);
    return result;
}

QByteArray NativePath::encode(const QString& path) {
    QByteArray result;
    result.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        // A low surrogate right after a high one is half of a pair, not an escaped byte.
        if (!isEscape(path[i]) || (i > 0 && path[i - 1].isHighSurrogate()))
            continue;
        result += QStringView(path).mid(runStart, i - runStart).toUtf8();
        result += char(path[i].unicode() - kEscapeBase);
        runStart = i + 1;
    }
    result += QStringView(path).mid(runStart).toUtf8();
    return result;
}

QString NativePath::absolute(const QString& path) {
    if (path.startsWith(QLatin1Char('/')))
        return path;
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr)
        return path;
    QString folder = decode(QByteArray(buffer));
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return path.isEmpty() || path == QLatin1String(".") ? folder.chopped(folder.size() > 1 ? 1 : 0)
                                                        : folder + path;
}

QString NativePath::programFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return QCoreApplication::applicationDirPath();
    QString file = decode(QByteArray(buffer, length));
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : file.left(slash);
}

bool NativePath::isRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(encode(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

QString NativePath::openForReading(QFile& file, const QString& path) {
    // A pipe put in the file's place must not keep the open waiting for a writer.
    const int handle = ::open(encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return file.errorString();
    }
    return {};
}

} // namespace convodesk::jet4
