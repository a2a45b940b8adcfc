#pragma once

#include <QString>
#include <QTest>

namespace convodesk::testing {

// The Access-made files in tests/corpus (CONVODESK_CORPUS_DIR, set by CTest).
QString corpusFolder();
// The full path of a file or folder given relative to the corpus, e.g. "jackcess/testV2003.mdb".
QString corpusPath(const QString& relative);
// Why a corpus file or folder cannot be used (it names the full path), or an empty text when it
// is there.
QString corpusProblem(const QString& relative);
// A writable copy of a corpus file in `folder`, so no test touches the file itself; an empty
// text when it is missing (check first with VERIFY_CORPUS).
QString corpusCopy(const QString& relative, const QString& folder);

} // namespace convodesk::testing

// Fails the running test, naming the full path, when a corpus file or folder is missing.
#define VERIFY_CORPUS(relative)                                                                              \
    do {                                                                                                     \
        const QString corpusProblem_ = convodesk::testing::corpusProblem(relative);                          \
        if (!corpusProblem_.isEmpty())                                                                       \
            QFAIL(qPrintable(corpusProblem_));                                                               \
    } while (false)
