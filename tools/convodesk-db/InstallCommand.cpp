#include "InstallCommand.h"

#include "CheckCommand.h"
#include "DatabaseSwap.h"
#include "InstallTarget.h"
#include "ToolInfo.h"
#include "data/jet4/read/NativePath.h"

#include <sys/stat.h>

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
        "package), the file it points to is replaced, but only when nobody other than root or you\n"
        "could have changed the link, the file or any folder on the way; otherwise it says why and\n"
        "changes nothing. The file is copied next to the target and renamed over it, so a desk that\n"
        "is running goes on reading safely; the new file keeps the owner, group and mode of the one\n"
        "it replaces, which is kept as Tassel.mdb.previous beside it. Otherwise nothing changes.\n"
        "\n"
        "  --folder DIR   the desk program's folder (default: the folder convodesk-db is in)\n"
        "\n"
        "Exit 0: installed; 1: a screen would fail with FILE, or the folder cannot be written;\n"
        "2: bad arguments, or FILE cannot be read.\n");
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
    const QString folder = o.folder.isEmpty() ? jet4::NativePath::programFolder() : o.folder;
    const auto refuse = [&](int code, const QString& why) {
        err << "convodesk-db install: " << why << (why.endsWith(QLatin1Char('.')) ? "" : ".")
            << " Nothing was changed.\n";
        return code;
    };
    InstallTarget::Refusal refusal{};
    const std::optional<InstallTarget> target = InstallTarget::resolve(folder, refusal);
    if (!target)
        return refuse(refusal.exitCode, refusal.why);
    struct stat file {};
    if (::stat(jet4::NativePath::encode(o.file).constData(), &file) != 0 || !S_ISREG(file.st_mode))
        return refuse(kExitBadInput, QStringLiteral("%1 is not a file that can be read.").arg(o.file));
    struct stat current {};
    if (::fstatat(target->folder(), jet4::NativePath::encode(target->name()).constData(), &current, 0) == 0 &&
        current.st_dev == file.st_dev && current.st_ino == file.st_ino)
        return refuse(kExitBadInput, QStringLiteral("%1 is already the desk's database.").arg(o.file));

    const int checked = CheckCommand::checkFile(o.file, out, err, QStringLiteral("install"));
    if (checked != kExitOk)
        return refuse(checked, checked == kExitFailure
                                   ? QStringLiteral("Some screens would fail with %1.").arg(o.file)
                                   : QStringLiteral("%1 cannot be read as a database.").arg(o.file));

    DatabaseSwap swap(*target);
    if (const QString problem = swap.stage(o.file); !problem.isEmpty())
        return refuse(kExitFailure, problem);
    // What goes in is the copy; it must be what was checked (FILE may change meanwhile).
    QString ignored;
    QTextStream quiet(&ignored);
    if (CheckCommand::checkFile(swap.stagedPath(), quiet, quiet, QStringLiteral("install")) != kExitOk)
        return refuse(kExitFailure,
                      QStringLiteral("%1 changed while it was being copied. Try again.").arg(o.file));
    if (const QString problem = swap.commit(); !problem.isEmpty()) {
        err << "convodesk-db install: " << problem << "\n";
        return kExitFailure;
    }
    out << "Installed " << o.file << " as " << target->path() << ".";
    if (swap.keptPrevious())
        out << " The previous file is " << swap.previousPath() << ".";
    out << "\n";
    return kExitOk;
}

} // namespace convodesk::dbtool
