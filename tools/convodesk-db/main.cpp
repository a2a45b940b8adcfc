// convodesk-db: the database tool. Each subcommand lives in its own class; this file only
// dispatches to them.
#include "CheckCommand.h"
#include "InstallCommand.h"
#include "MakeCommand.h"
#include "QueryCommand.h"
#include "ToolInfo.h"
#include "data/DataError.h"
#include "data/jet4/Error.h"
#include "data/jet4/read/NativePath.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <map>
#include <new>

using namespace convodesk::dbtool;

namespace {
using Command = std::function<int(const QStringList&, QTextStream&, QTextStream&)>;

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> all{
        {QStringLiteral("make"), &MakeCommand::run},
        {QStringLiteral("query"), &QueryCommand::run},
        {QStringLiteral("check"), &CheckCommand::run},
        {QStringLiteral("install"), &InstallCommand::run},
    };
    return all;
}

QString usage() {
    QString text = QStringLiteral("Usage: convodesk-db COMMAND [options]\n"
                                  "       convodesk-db --version | --help\n\nCommands:\n");
    for (const auto& entry : commands())
        text += QStringLiteral("  %1\n").arg(entry.first);
    text += QStringLiteral("\n'convodesk-db COMMAND --help' describes a command.\n\n");
    return text + MakeCommand::helpText() + QStringLiteral("\n") + QueryCommand::helpText() +
           QStringLiteral("\n") + CheckCommand::helpText() + QStringLiteral("\n") +
           InstallCommand::helpText();
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // From the bytes given, not app.arguments(): a file name that is not UTF-8 keeps its bytes.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << convodesk::jet4::NativePath::decode(QByteArray(argv[i]));
    if (args.isEmpty()) {
        err << usage();
        return kExitBadInput;
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("--version")) {
        out << toolVersion() << "\n";
        return kExitOk;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out << usage();
        return kExitOk;
    }
    const auto command = commands().find(first);
    if (command == commands().end()) {
        err << "convodesk-db: unknown command \"" << first << "\".\n" << usage();
        return kExitBadInput;
    }
    // Every command's errors end here at the latest: a message and exit 2, never an abort.
    const auto failed = [&](const QString& message) {
        out.flush();
        err << "convodesk-db " << first << ": " << message << "\n";
        return kExitBadInput;
    };
    try {
        return command->second(args, out, err);
    } catch (const convodesk::data::DataError& error) {
        return failed(QStringLiteral("%1 (error %2)").arg(error.description()).arg(error.number()));
    } catch (const convodesk::jet4::Error& error) {
        return failed(error.message());
    } catch (const std::bad_alloc&) {
        return failed(QStringLiteral("out of memory"));
    } catch (const std::exception& error) {
        return failed(QString::fromLocal8Bit(error.what()));
    }
}
