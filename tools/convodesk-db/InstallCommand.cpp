#include "InstallCommand.h"

#include "CheckCommand.h"
#include "DatabaseSwap.h"
#include "ToolInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace convodesk::dbtool {
namespace {

struct Options {
    QString file;
    QString folder;
    bool help = false;
};

// Empty when the arguments are fine, else the problem.
QString parse(const QStringList& args, Options& o) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--folder")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return QStringLiteral("--folder needs a folder.");
            o.folder = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("unknown argument \"%1\".").arg(a);
        } else if (!o.file.isEmpty()) {
            return QStringLiteral("expected one FILE, got \"%1\" and \"%2\".").arg(o.file, a);
        } else {
            o.file = a;
        }
    }
    if (!o.help && o.file.isEmpty())
        return QStringLiteral("expected FILE.");
    return {};
}

} // namespace

QString InstallCommand::helpText() {
    return QStringLiteral(
        "Usage: convodesk-db install FILE [--folder DIR]\n"
        "\n"
        "Checks FILE as 'check' does and, only when every screen can use it, puts it in place as\n"
        "the desk's Tassel.mdb in DIR. Where DIR/Tassel.mdb is a symbolic link (as in the installed\n"
        "package), the file it points to is replaced. The file is copied next to the target and\n"
        "renamed over it, so a desk that is running goes on reading safely; the previous file is\n"
        "kept as Tassel.mdb.previous beside it. Otherwise nothing changes.\n"
        "\n"
        "  --folder DIR   the desk program's folder (default: the folder convodesk-db is in)\n"
        "\n"
        "Exit 0: installed; 1: a screen would fail with FILE, or the folder cannot be written;\n"
        "2: bad arguments, or FILE cannot be read.\n");
}

QString InstallCommand::databaseTarget(const QString& folder) {
    QString path = QDir(QFileInfo(folder).absoluteFilePath()).filePath(QStringLiteral("Tassel.mdb"));
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo link(path);
        if (!link.isSymLink())
            break;
        path = QDir::cleanPath(link.symLinkTarget());
    }
    return path;
}

int InstallCommand::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Options o;
    if (const QString problem = parse(args, o); !problem.isEmpty()) {
        err << "convodesk-db install: " << problem << "\nTry 'convodesk-db install --help'.\n";
        return kExitBadInput;
    }
    if (o.help) {
        out << helpText();
        return kExitOk;
    }
    const QString folder = o.folder.isEmpty() ? QCoreApplication::applicationDirPath() : o.folder;
    const auto refuse = [&](int code, const QString& why) {
        err << "convodesk-db install: " << why << (why.endsWith(QLatin1Char('.')) ? "" : ".")
            << " Nothing was changed.\n";
        return code;
    };
    if (!QFileInfo(folder).isDir())
        return refuse(kExitBadInput, QStringLiteral("%1 is not a folder.").arg(folder));
    const QFileInfo file(o.file);
    if (!file.isFile())
        return refuse(kExitBadInput, QStringLiteral("%1 is not a file that can be read.").arg(o.file));
    const QString target = databaseTarget(folder);
    const QFileInfo targetInfo(target);
    if (!targetInfo.absoluteDir().exists())
        return refuse(kExitBadInput, QStringLiteral("%1 leads to %2, whose folder does not exist.")
                                         .arg(QDir(folder).filePath(QStringLiteral("Tassel.mdb")), target));
    if (targetInfo.exists() && file.canonicalFilePath() == targetInfo.canonicalFilePath())
        return refuse(kExitBadInput, QStringLiteral("%1 is already the desk's database.").arg(o.file));

    const int checked = CheckCommand::run({o.file}, out, err);
    if (checked != kExitOk)
        return refuse(checked, checked == kExitFailure
                                   ? QStringLiteral("Some screens would fail with %1.").arg(o.file)
                                   : QStringLiteral("%1 cannot be read as a database.").arg(o.file));

    DatabaseSwap swap(target);
    if (const QString problem = swap.stage(o.file); !problem.isEmpty())
        return refuse(kExitFailure, problem);
    // What goes in is the copy; it must be what was checked (FILE may change meanwhile).
    QString ignored;
    QTextStream quiet(&ignored);
    if (CheckCommand::run({swap.stagedPath()}, quiet, quiet) != kExitOk)
        return refuse(kExitFailure, QStringLiteral("%1 changed while it was being copied. Try again.").arg(o.file));
    if (const QString problem = swap.commit(); !problem.isEmpty()) {
        err << "convodesk-db install: " << problem << "\n";
        return kExitFailure;
    }
    out << "Installed " << o.file << " as " << target << ".";
    if (swap.keptPrevious())
        out << " The previous file is " << swap.previousPath() << ".";
    out << "\n";
    return kExitOk;
}

} // namespace convodesk::dbtool
