#include "HandlerGuard.h"

#include "data/DataError.h"
#include "data/jet4/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <new>

namespace convodesk::ui {

namespace {

// Numbers for failures that do not carry one of their own.
constexpr int outOfMemoryNumber = 7;
constexpr int internalFailureNumber = 51;

void showMessageBox(const Failure& failure) {
    QWidget* owner = QApplication::activeWindow();
    const QString title = owner ? owner->windowTitle() : QApplication::applicationName();
    QMessageBox::critical(owner, title, failureMessage(failure));
}

FailureReporter& currentReporter() {
    static FailureReporter reporter = showMessageBox;
    return reporter;
}

int formatErrorNumber(jet4::Error::Kind kind) {
    switch (kind) {
    case jet4::Error::Kind::Io:
    case jet4::Error::Kind::NotDatabase:
    case jet4::Error::Kind::Jet3:
    case jet4::Error::Kind::Accdb:
    case jet4::Error::Kind::Encrypted:
        return data::DataError::FileUnreadable;
    case jet4::Error::Kind::NotFound:
        return data::DataError::NoSuchSource;
    case jet4::Error::Kind::Unsupported:
        return data::DataError::UnsupportedQuery;
    default:
        return data::DataError::DamagedFile;
    }
}

Failure describeCurrentException() {
    try {
        throw;
    } catch (const data::DataError& e) {
        return {e.number(), e.description()};
    } catch (const jet4::Error& e) {
        return {formatErrorNumber(e.kind()), e.message()};
    } catch (const std::bad_alloc&) {
        return {outOfMemoryNumber, QStringLiteral("Out of memory")};
    } catch (const std::exception& e) {
        return {internalFailureNumber, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {internalFailureNumber, QStringLiteral("Unexpected failure")};
    }
}

} // namespace

bool runHandler(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        const Failure failure = describeCurrentException();
        try {
            currentReporter()(failure);
        } catch (...) {
            // Telling the operator failed as well; there is nobody left to tell.
        }
        return false;
    }
}

FailureReporter setFailureReporter(FailureReporter reporter) {
    FailureReporter previous = currentReporter();
    currentReporter() = reporter ? std::move(reporter) : FailureReporter(showMessageBox);
    return previous;
}

QString failureMessage(const Failure& failure) {
    return QStringLiteral("Error %1: %2").arg(failure.number).arg(failure.description);
}

} // namespace convodesk::ui
