#include "reports/collection_pages.h"

#include "core/collections.h"
#include "core/utilities.h"

namespace korvelan {
namespace {

// The page of one motif below its family's page address, with the identifier appended.
struct PageLink {
  const char* path;
  // The part of the identifier that names the page. UniPROBE pages take the up to three characters after
  // the first four; an identifier of four characters or fewer names none, so the link gets an empty value
  // rather than reading past its end.
  std::string_view (*pageKey)(std::string_view identifier);
};

std::string_view wholeIdentifier(std::string_view identifier) {
  return identifier;
}
std::string_view uniprobeKey(std::string_view identifier) {
  return identifier.size() > 4 ? identifier.substr(4, 3) : std::string_view();
}

const PageLink& pageLinkOf(CollectionFamily family) {
  static const PageLink transfac{.path = "/cgi-bin/pub/databases/transfac/getTF.cgi?",
                                 .pageKey = wholeIdentifier};
  static const PageLink jaspar{.path = "/cgi-bin/jaspar_db.pl?rm=present&collection=CORE&ID=",
                               .pageKey = wholeIdentifier};
  static const PageLink uniprobe{.path = "/uniprobe/detailsDef.php?id=", .pageKey = uniprobeKey};
  switch (family) {
    case CollectionFamily::Transfac:
      return transfac;
    case CollectionFamily::Uniprobe:
      return uniprobe;
    default:
      return jaspar;
  }
}

}  // namespace

const char* taxonLabel(std::string_view key) {
  const Collection* collection = collectionOf(key);
  const bool species = collection != nullptr && collection->family != CollectionFamily::Jaspar;
  return species ? "Species" : "Taxon";
}

const char* identifierLabel(std::string_view key) {
  const Collection* collection = collectionOf(key);
  return collection != nullptr && collection->family == CollectionFamily::Transfac ? "AC:" : "Motif ID:";
}

std::string identifierCell(std::string_view key, const data& motif) {
  const std::string shown = htmlEscape(motif.databaseMotifID);
  const Collection* collection = collectionOf(key);
  if (collection == nullptr) return "<td><font size = '2'>" + shown + "</font></td>";
  const PageLink& link = pageLinkOf(collection->family);
  // The address's own query text stays as it is (its "&" included); only the inserted identifier is
  // encoded, and escaping the encoded text changes nothing but keeps the rule of the pages.
  const std::string address = std::string(collectionPageAddress(collection->family)) + link.path +
                              htmlEscape(percentEncode(link.pageKey(motif.databaseMotifID)));
  return "<td><font size = '2'> <a href='" + address + "' target ='_blank'>" + shown + "</a></font></td>";
}

std::string percentEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                            byte == '~';
    if (unreserved) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

}  // namespace korvelan
