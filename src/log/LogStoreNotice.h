#pragma once
// What the user is told after a store that had to change message rows.
#include <string>

#include "log/LogFile.h"

// Empty when every row was written as it is; otherwise names the rows (by
// their line in the file) and what their lines hold instead.
std::wstring ReplacedRowsNotice(const LogStoreResult& result);
