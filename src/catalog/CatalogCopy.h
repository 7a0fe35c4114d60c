#pragma once

#include <QString>

namespace kestro {

class Catalog;

// Copies a whole catalog, a file or a hosted one, to a new catalog: a file
// that does not exist yet (made from the template at `templatePath`) or an
// empty server database. The catalog's name, categories, volumes with their
// rows in order and change reports go across; the name index of a file is
// built anew. The source is read in one read transaction and everything is
// written in one transaction on the receiving side, so a copy that fails
// leaves no catalog there: a file made for it is removed. Throws
// CatalogError.
void copyCatalog(const Catalog& source, const QString& target, const QString& templatePath);

} // namespace kestro
