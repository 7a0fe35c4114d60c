#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace kestro {

// Every node of the catalog tree, and every row of the contents list that
// stands for one, carries a key naming a catalog object:
//   root      "~"
//   category  a grave accent and the category's number: "`3"
//   volume    tablename "_" root name: "71330842_D:"
//   folder    tablename "_" the folder's full path: "71330842_D:\GAMES\DOOM"
// File rows carry no key. The editing commands, the context menus and the
// file opener decide what to do by the key alone.
enum class NodeKind { Root, Category, Volume, Folder };

inline constexpr QChar kRootKeyChar = QLatin1Char('~');
inline constexpr QChar kCategoryMark = QLatin1Char('`');

QString RootKey();
QString CategoryKey(const QString& number);
QString VolumeKey(const QString& tablename, const QString& rootName);
QString FolderKey(const QString& tablename, const QString& parent, const QString& name);

// A folder key holds a backslash; a volume key ends in ":" and holds none.
// The backslash is looked at first: a Linux folder may be called "x:",
// and its key must not be taken for a volume's.
NodeKind KindOfKey(QStringView key);

// The path a volume or folder key names: the text after the tablename and its
// "_" ("D:" or "D:\GAMES"). It is the `parent` of the rows of the folders and
// files inside.
QString NodePathOf(QStringView key);

} // namespace kestro
