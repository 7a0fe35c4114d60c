#pragma once

#include <QString>

namespace kestro {

// The pattern the "Named:" text of the search window looks for, where "*"
// stands for any run of characters and "?" for one (see kestro_like):
//
//   report -> *report*     rep* -> rep*      *.doc -> *.doc    *doc* -> *doc*
//   ?abc -> *abc           a?c -> ac*        abc*.* -> abc*    *.*, *, ** -> **
//
// A plain word is found anywhere in a name; a text ending in a wildcard finds
// the names that begin with the rest, one beginning with a wildcard the names
// that end with it. A wildcard inside the text only removes itself and makes
// the rest a beginning. A text that comes to nothing matches every name.
QString NamePatternOf(const QString& namedText);

} // namespace kestro
