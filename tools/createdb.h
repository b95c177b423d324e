#pragma once
// cvdtool's names for making new data files (db/createdb.h).
#include "db/createdb.h"

namespace cvd::tools {

using cvd::createDatabase;
using cvd::createDatabaseFile;
using cvd::databasePath;
using cvd::execSql;

} // namespace cvd::tools
