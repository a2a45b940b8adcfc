#include "RealisticDesk.h"

#include "convodesk-db/MakeCommand.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <array>
#include <random>
#include <stdexcept>

namespace convodesk::bench {

namespace {

struct Subject {
    const char* code;
    const char* name;
    const char* faculty;
};

// 24 subjects, each as a Diploma (D..) and a Certificate (C..): 48 programmes.
constexpr std::array<Subject, 24> kSubjects{{
    {"IT", "Information Technology", "Faculty of Computing"},
    {"CS", "Computer Science", "Faculty of Computing"},
    {"SE", "Software Engineering", "Faculty of Computing"},
    {"NW", "Computer Networking", "Faculty of Computing"},
    {"BA", "Business Administration", "Faculty of Business"},
    {"AC", "Accountancy", "Faculty of Business"},
    {"MK", "Marketing", "Faculty of Business"},
    {"HR", "Human Resource Management", "Faculty of Business"},
    {"ME", "Mechanical Engineering", "Faculty of Engineering"},
    {"EE", "Electrical & Electronic Engineering", "Faculty of Engineering"},
    {"CE", "Civil Engineering", "Faculty of Engineering"},
    {"MT", "Mechatronics", "Faculty of Engineering"},
    {"HM", "Hotel Management", "Faculty of Hospitality"},
    {"CA", "Culinary Arts", "Faculty of Hospitality"},
    {"TM", "Tourism Management", "Faculty of Hospitality"},
    {"EC", "Early Childhood Education", "Faculty of Education"},
    {"TS", "Teaching English as a Second Language", "Faculty of Education"},
    {"HN", "Health Care (Pembantu Perawatan)", "Faculty of Health Sciences"},
    {"PH", "Pharmacy", "Faculty of Health Sciences"},
    {"NS", "Nursing", "Faculty of Health Sciences"},
    {"GD", "Graphic Design", "Faculty of Creative Arts"},
    {"AN", "Animation", "Faculty of Creative Arts"},
    {"MC", "Mass Communication", "Faculty of Creative Arts"},
    {"IS", "Islamic Studies (Usuluddin)", "Faculty of Islamic Studies"},
}};

const std::array<const char*, 12> kMalayMale{
    "Muhammad Hafiz", "Ahmad Faris", "Mohd Syafiq", "Amirul Hakim",  "Muhammad Danish", "Khairul Anuar",
    "Azlan",          "Haziq Irfan", "Zulkifli",    "Aiman Ma'arof", "Faizal",          "Ikhwan Syahmi"};
const std::array<const char*, 12> kMalayFemale{
    "Nur'ain",        "Siti Nurhaliza", "Nurul Izzah",   "Aisyah",     "Farah Wahida",  "Nur Syafiqah",
    "Intan Maisarah", "Sharifah Nadia", "Puteri Balqis", "Nor Azizah", "Wan Nur'aliya", "Zulaikh\u0101"};
const std::array<const char*, 12> kMalayFathers{"Abdullah", "Ismail",     "Ma'arof",  "Hassan",
                                                "Rahman",   "Othman",     "Yusof",    "Mat Isa",
                                                "Ibrahim",  "Kamaruddin", "Sulaiman", "Abd. Razak"};
const std::array<std::pair<const char*, const char*>, 10> kChineseSurnames{{{"Tan", "\u9648"},
                                                                            {"Lim", "\u6797"},
                                                                            {"Lee", "\u674e"},
                                                                            {"Wong", "\u9ec4"},
                                                                            {"Chong", "\u5f20"},
                                                                            {"Ng", "\u5434"},
                                                                            {"Ong", "\u738b"},
                                                                            {"Goh", "\u5434"},
                                                                            {"Chan", "\u9648"},
                                                                            {"Yap", "\u53f6"}}};
const std::array<std::pair<const char*, const char*>, 8> kChineseGiven{{{"Wei Ling", "\u4f1f\u73b2"},
                                                                        {"Chee Keong", "\u5fd7\u5f3a"},
                                                                        {"Mei Xin", "\u7f8e\u6b23"},
                                                                        {"Jia Hui", "\u4f73\u6167"},
                                                                        {"Kah Wai", "\u5bb6\u4f1f"},
                                                                        {"Siew Mun", "\u79c0\u6587"},
                                                                        {"Zi Xuan", "\u5b50\u8f69"},
                                                                        {"Boon Hock", "\u6587\u798f"}}};
const std::array<const char*, 8> kIndianMale{"Arjun",     "Vikneswaran", "Thinesh", "Ganesh",
                                             "Sivakumar", "Prakash",     "Karthik", "Raj Kumar"};
const std::array<const char*, 8> kIndianFemale{"Priya",  "Kavitha", "Devi",  "Shalini",
                                               "Thivya", "Janani",  "Meena", "Sangeetha"};
const std::array<const char*, 8> kIndianFathers{"Subramaniam", "Krishnan", "Muthusamy", "Raman",
                                                "Selvaraj",    "Gopal",    "Arumugam",  "D'Cruz"};
const std::array<const char*, 4> kOthers{"Chlo\u00e9 Fernandez", "Jos\u00e9 Anthony D'Silva",
                                         "L\u00e9a Marie Gomez", "Ren\u00e9e O'Brien Pereira"};

// A fixed-seed generator whose draws are the same with every standard library.
class Draw {
public:
    explicit Draw(unsigned seed) : engine_(seed) {}
    int below(int n) { return static_cast<int>(engine_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename List> auto pick(const List& list) {
        return list[below(static_cast<int>(list.size()))];
    }

private:
    std::mt19937 engine_;
};

struct Person {
    QString name;
    bool male = false;
};

Person personName(Draw& draw) {
    const int kind = draw.below(100);
    if (kind < 55) {
        const bool male = draw.chance(50);
        return {QString::fromUtf8(male ? draw.pick(kMalayMale) : draw.pick(kMalayFemale)) +
                    (male ? QStringLiteral(" bin ") : QStringLiteral(" binti ")) +
                    QString::fromUtf8(draw.pick(kMalayFathers)),
                male};
    }
    if (kind < 80) {
        const auto [surname, hanSurname] = draw.pick(kChineseSurnames);
        const auto [given, hanGiven] = draw.pick(kChineseGiven);
        QString name = QString::fromUtf8(surname) + QLatin1Char(' ') + QString::fromUtf8(given);
        if (draw.chance(25))
            name += QStringLiteral(" (%1%2)").arg(QString::fromUtf8(hanSurname), QString::fromUtf8(hanGiven));
        return {name, draw.chance(50)};
    }
    if (kind < 97) {
        const bool male = draw.chance(50);
        return {QString::fromUtf8(male ? draw.pick(kIndianMale) : draw.pick(kIndianFemale)) +
                    (male ? QStringLiteral(" a/l ") : QStringLiteral(" a/p ")) +
                    QString::fromUtf8(draw.pick(kIndianFathers)),
                male};
    }
    return {QString::fromUtf8(draw.pick(kOthers)), draw.chance(50)};
}

QString icNumber(Draw& draw, bool male) {
    const int last = draw.below(5) * 2 + (male ? 1 : 0);
    return QStringLiteral("%1%2%3-%4-%5%6")
        .arg(draw.below(5), 2, 10, QLatin1Char('0'))
        .arg(1 + draw.below(12), 2, 10, QLatin1Char('0'))
        .arg(1 + draw.below(28), 2, 10, QLatin1Char('0'))
        .arg(1 + draw.below(16), 2, 10, QLatin1Char('0'))
        .arg(draw.below(1000), 3, 10, QLatin1Char('0'))
        .arg(last);
}

QString programmeCode(int index) {
    return QLatin1Char(index % 2 ? 'C' : 'D') +
           QLatin1String(kSubjects[static_cast<std::size_t>(index / 2)].code);
}

void writeProgrammes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    QTextStream out(&file);
    out << "Program_Code,Program_Desc,Program_Faculty\n";
    for (int i = 0; i < 2 * static_cast<int>(kSubjects.size()); ++i) {
        const Subject& subject = kSubjects[static_cast<std::size_t>(i / 2)];
        out << programmeCode(i) << ',' << (i % 2 ? "Certificate in " : "Diploma in ") << subject.name << ','
            << subject.faculty << '\n';
    }
}

// Writes the graduates in queue order, grouped by programme as the demo is; notes the middle
// graduate's ID and the last one's IC.
void writeGraduates(const QString& path, int count, RealisticDesk& desk) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    QTextStream out(&file);
    out << "GraduateID,Name,IC,Programme,Faculty,Phone,Status,Audio,Queue\n";
    Draw draw(2024);
    const int programmes = 2 * static_cast<int>(kSubjects.size());
    for (int queue = 1; queue <= count; ++queue) {
        const int programme = static_cast<int>(std::int64_t(queue - 1) * programmes / count);
        const QString code = programmeCode(programme);
        const Person person = personName(draw);
        const QString id = QStringLiteral("CV24%1%2").arg(code).arg(queue, 5, 10, QLatin1Char('0'));
        const QString ic = icNumber(draw, person.male);
        const QString phone =
            queue % 37 == 5
                ? QString()
                : QStringLiteral("01%1-%2").arg(draw.below(10)).arg(1000000 + draw.below(9000000));
        const bool attending = draw.chance(90);
        const bool audio = draw.chance(80);
        QString name = person.name;
        if (name.contains(QLatin1Char(',')))
            name = QLatin1Char('"') + name + QLatin1Char('"');
        out << id << ',' << name << ',' << ic << ',' << code << ','
            << kSubjects[static_cast<std::size_t>(programme / 2)].faculty << ',' << phone << ','
            << (attending ? "Attending" : "In absentia") << ','
            << (audio ? id + QStringLiteral(".wav") : QString()) << ',' << queue << '\n';
        if (queue == (count + 1) / 2)
            desk.middleId = id;
        if (queue == count)
            desk.lastIc = ic;
    }
}

// The newest modification time of the writer libraries this program links.
QDateTime writerBuilt() {
    QDateTime newest;
    for (const QString& library :
         {QStringLiteral(BENCH_WRITER_LIBRARY), QStringLiteral(BENCH_DBTOOL_LIBRARY)}) {
        const QDateTime built = QFileInfo(library).lastModified();
        if (!newest.isValid() || built > newest)
            newest = built;
    }
    return newest;
}

bool fresh(const QString& path, const QDateTime& since) {
    const QFileInfo info(path);
    return info.exists() && info.size() > 0 && info.lastModified() >= since;
}

} // namespace

RealisticDesk RealisticDesk::make(int graduates) {
    QDir folder(QDir::temp().filePath(QStringLiteral("convodesk-bench")));
    if (!folder.exists() && !folder.mkpath(QStringLiteral(".")))
        throw std::runtime_error("cannot make " + folder.path().toStdString());
    RealisticDesk desk;
    const QString stem = QStringLiteral("graduates-%1").arg(graduates);
    desk.graduatesCsv = folder.filePath(stem + QStringLiteral(".csv"));
    desk.mdbPath = folder.filePath(stem + QStringLiteral(".mdb"));
    const QString programmesCsv = folder.filePath(QStringLiteral("programmes.csv"));
    // The CSV is written each time (seconds at a million rows): it also gives the sample values.
    writeProgrammes(programmesCsv);
    writeGraduates(desk.graduatesCsv, graduates, desk);
    if (!fresh(desk.mdbPath, writerBuilt())) {
        QString messages;
        QTextStream out(&messages);
        const int status = dbtool::MakeCommand::run(
            {QStringLiteral("--graduates"), desk.graduatesCsv, QStringLiteral("--programmes"), programmesCsv,
             QStringLiteral("--output"), desk.mdbPath, QStringLiteral("--force")},
            out, out);
        if (status != 0)
            throw std::runtime_error("convodesk-db make failed: " + messages.toStdString());
    }
    desk.fileBytes = QFileInfo(desk.mdbPath).size();
    return desk;
}

bool RealisticDesk::makeSqlite() {
    sqlitePath = QFileInfo(mdbPath).path() + QLatin1Char('/') + QFileInfo(mdbPath).completeBaseName() +
                 QStringLiteral(".sqlite");
    if (fresh(sqlitePath, QFileInfo(mdbPath).lastModified()))
        return true;
    QFile::remove(sqlitePath);
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {sqlitePath});
    if (!sqlite.waitForStarted())
        return false;
    sqlite.write(QStringLiteral("create table Graduates (GraduateID text primary key, Name text, IC text, "
                                "Programme text, Faculty text, Phone text, Status text, Audio text, "
                                "Queue integer);\n"
                                ".import --csv --skip 1 '%1' Graduates\n")
                     .arg(graduatesCsv)
                     .toUtf8());
    sqlite.closeWriteChannel();
    return sqlite.waitForFinished(600000) && sqlite.exitCode() == 0;
}

} // namespace convodesk::bench
