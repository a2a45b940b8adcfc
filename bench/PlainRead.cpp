#include "PlainRead.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace convodesk::bench {

void timePlainRead(benchmark::State& state, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    std::vector<char> buffer(std::size_t(1) << 20);
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_RDONLY);
        while (::read(fd, buffer.data(), buffer.size()) > 0)
            benchmark::DoNotOptimize(buffer[0]);
        ::close(fd);
    }
}

} // namespace convodesk::bench
