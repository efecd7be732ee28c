// How the database reports show a collection motif's identity: the label of its identifier, the
// word before its taxon or species, and the link to its page in the collection's public web pages.
#pragma once

#include <string>
#include <string_view>

#include "core/records.h"

namespace korvelan {

// "Species" for the TRANSFAC and UniPROBE collections (their motifs carry a species), "Taxon" for the
// JASPAR ones and any other key.
const char* taxonLabel(std::string_view key);

// The label of the identifier row of an HTML match block: "AC:" for TRANSFAC accessions, "Motif ID:"
// otherwise.
const char* identifierLabel(std::string_view key);

// The identifier cell of an HTML match block, one line without its line end: the motif's identifier
// linked to its page in the collection of `key`, or the identifier alone for a key of no collection.
// Inserted values are escaped for the page; inside the address the identifier is percent-encoded.
std::string identifierCell(std::string_view key, const data& motif);

// Every byte but the RFC 3986 unreserved characters (letters, digits, '-', '.', '_', '~') as "%XX".
std::string percentEncode(std::string_view text);

}  // namespace korvelan
