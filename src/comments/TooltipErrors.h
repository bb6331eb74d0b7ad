#pragma once
#include "AppError.h"

#include <QString>

// Error numbers the comment store raises, as the classic database engine numbered them,
// so that a "Run-time error N" box reads the way users of the old program know it.
namespace TooltipErr {
constexpr int NotOpen = ErrNo::ObjectNotSet;  // the store was never opened or opening failed
constexpr int DiskFull = ErrNo::DiskFull;
constexpr int EngineError = 3000;       // anything the engine reports that is not below
constexpr int UpdateWithoutEdit = 3020;
constexpr int NoCurrentRecord = 3021;
constexpr int FileNotFound = 3024;
constexpr int ReadOnly = 3027;
constexpr int CannotRead = 3043;
constexpr int Corrupt = 3049;
constexpr int TableMissing = 3078;
constexpr int RecordDeleted = 3167;
constexpr int Locked = 3260;
constexpr int ItemNotFound = 3265;
constexpr int NotADatabase = 3343;
}

// Builds the store's error for a number. The description is one sentence made from the
// reason clause of that number; `detail` fills in the file name or the engine's own text
// where the clause has a place for it.
AppError TooltipError(int number, const QString& detail = QString());

// The reason part of a store error, as a lower-case clause without a final full stop
// ("the comment database is read-only"), for messages such as
// "The comment could not be saved: <reason>."
QString TooltipErrorReason(const AppError& error);
