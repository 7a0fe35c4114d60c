#pragma once

#include <QString>

namespace kestro {

// A catalog is a file, or a database on a PostgreSQL server named by a
// connection URI, "postgresql://user@host:port/dbname" (a hosted catalog).
// The password comes from ~/.pgpass or PGPASSWORD, never from what the
// program stores.
bool isHostedLocation(const QString& location);

// The location as the user is shown it (captions, messages): a file path as
// it is, a URI without the password it may hold, in its user part or as a
// "password" parameter.
QString locationForDisplay(const QString& location);

} // namespace kestro
