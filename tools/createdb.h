#pragma once
// cvdtool's names for making new databases and finding them (db/createdb.h).
#include "db/createdb.h"

namespace cvd::tools {

using cvd::createDatabase;
using cvd::createDatabaseAt;
using cvd::createDatabaseFile;
using cvd::createServerDatabase;
using cvd::databaseLocation;
using cvd::databasePath;
using cvd::execSql;
using cvd::locateDatabase;

} // namespace cvd::tools
