// The PostgreSQL server behind the engine (being built): until then a
// server location is refused as unreachable.
#include "db/backend.h"

namespace cvd::engine {

std::shared_ptr<Backend> openServer(const QString&, const QString& source, OpenMode)
{
    raise(ErrNo::ServerUnreachable, QStringLiteral("Couldn't reach the database server named in '%1'.").arg(source));
}

} // namespace cvd::engine
