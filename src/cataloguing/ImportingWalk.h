#pragma once

#include "cataloguing/CatalogRunView.h"
#include "cataloguing/ListingImport.h"
#include "cataloguing/ListingWriter.h"

namespace kestro {

// Walks a volume into the two listing files (ListingWriter) while the file
// lines already written go into the volume's file table, so that the import
// costs little more than the walk. The folder listing is only written at the
// end of the walk, its totals needing every folder; its import follows.
//
// The view shows the walk's counters and is asked whether to stop; an abort
// cancels the walk. What `files` imported stays in the caller's transaction,
// to be kept only if the walk succeeds: the result tells.
ListingResult WalkImportingFiles(const ListingRequest& request, unsigned threads,
                                 FileListingImport& files, CatalogRunView& view);

} // namespace kestro
