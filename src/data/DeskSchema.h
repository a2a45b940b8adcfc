#pragma once

#include "FixedText.h"

#include <QStringList>
#include <algorithm>
#include <array>

// The desk database as the screens read it and convodesk-db writes and checks it: the names of
// its tables, stored query and fields, and the query texts the screens send.
namespace convodesk::data::desk {

// The database file the desk reads, in the program's folder.
constexpr FixedText kDatabaseFile{"Tassel.mdb"};

// The tables, and the stored query the Home and Search screens read (convodesk-db make can
// write it as a table of the same rows instead).
constexpr FixedText kGraduatesTable{"Graduates"};
constexpr FixedText kProgrammeTable{"Programme"};
constexpr FixedText kGraduateQuery{"Graduate"};

// Fields of Graduates; `Programme` holds a Program_Code.
constexpr FixedText kGraduateId{"GraduateID"};
constexpr FixedText kName{"Name"};
constexpr FixedText kIc{"IC"};
constexpr FixedText kProgramme{"Programme"};
constexpr FixedText kFaculty{"Faculty"};
constexpr FixedText kPhone{"Phone"};
constexpr FixedText kStatus{"Status"};
constexpr FixedText kAudio{"Audio"};
constexpr FixedText kQueue{"Queue"};

// A graduate ID has this many characters: Home looks the graduate up as soon as they are typed.
constexpr int kGraduateIdLength = 12;

// Fields of Programme.
constexpr FixedText kProgramCode{"Program_Code"};
constexpr FixedText kProgramDesc{"Program_Desc"};
constexpr FixedText kProgramFaculty{"Program_Faculty"};

// Graduate: Graduates LEFT JOIN Programme ON Graduates.Programme = Programme.Program_Code,
// giving these fields.
[[maybe_unused]] constexpr std::array kGraduateQueryFields{
    kGraduateId.view(), kName.view(), kProgramDesc.view(), kFaculty.view(), kQueue.view()};

// The fields of each source the screens use (shown, searched or put in order); `check` wants
// them all, and `make` requires the tables' ones of its input.
[[maybe_unused]] constexpr std::array kGraduateFieldsUsed{kGraduateId.view(), kName.view(),
                                                          kProgramDesc.view(), kQueue.view()};
// The Database screen shows the first eight in this order and puts the rows in Queue order.
[[maybe_unused]] constexpr std::array kGraduatesFieldsUsed{
    kGraduateId.view(), kName.view(),   kIc.view(),    kProgramme.view(), kFaculty.view(),
    kPhone.view(),      kStatus.view(), kAudio.view(), kQueue.view()};
[[maybe_unused]] constexpr std::array kProgrammeFieldsUsed{kProgramCode.view(), kProgramDesc.view(),
                                                           kProgramFaculty.view()};

// Where `name` stands in `fields`; fields.size() where it is not there.
template <std::size_t N>
constexpr std::size_t indexOf(const std::array<QStringView, N>& fields, QStringView name) {
    const auto same = [name](QStringView field) {
        if (field.size() != name.size())
            return false;
        for (qsizetype i = 0; i < field.size(); ++i)
            if (field[i] != name[i])
                return false;
        return true;
    };
    return static_cast<std::size_t>(std::find_if(fields.begin(), fields.end(), same) - fields.begin());
}

template <std::size_t N> QStringList nameList(const std::array<QStringView, N>& fields) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(N));
    for (QStringView field : fields)
        names.append(field.toString());
    return names;
}

// The Database screen's two lists.
constexpr auto kGraduatesInQueueOrder = "select * from " + kGraduatesTable + " order by " + kQueue;
constexpr auto kProgrammesInDescOrder = "select * from " + kProgrammeTable + " order by " + kProgramDesc;

// Home: the graduate whose ID is `idLiteral` (a query literal, see sqlTextLiteral).
inline QString graduateLookupText(const QString& idLiteral) {
    static constexpr auto select = "select * from " + kGraduateQuery + " where " + kGraduateId + " = ";
    return select + idLiteral;
}

// Search: every graduate whose name, ID or programme is like `patternLiteral`, in Queue order.
inline QString graduateSearchText(const QString& patternLiteral) {
    static constexpr auto byName = "select * from " + kGraduateQuery + " where " + kName + " like ";
    static constexpr auto byId = " or " + kGraduateId + " like ";
    static constexpr auto byProgramme = " or " + kProgramDesc + " like ";
    static constexpr auto inOrder = " order by " + kQueue;
    return byName + patternLiteral + byId + patternLiteral + byProgramme + patternLiteral + inOrder;
}

} // namespace convodesk::data::desk
