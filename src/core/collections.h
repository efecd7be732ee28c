// The motif collections a run can compare with: one row per collection, holding every fixed fact
// about it, and one row per family for what its collections share. The dialogue's menu, the
// loaders, the report framing, the links and the collection listings read these tables.
#pragma once

#include <string_view>
#include <vector>

namespace korvelan {

// The three families differ in file layout and in the public page their motifs link to.
enum class CollectionFamily { Jaspar, Transfac, Uniprobe };

struct Collection {
  int menuNumber;            // the dialogue's choice, 1..13
  const char* menuLabel;     // the menu line's text after "(n) "
  const char* key;           // DBName
  const char* displayName;   // "Matching motif database: ..." in report headers
  const char* path;          // below the working directory
  const char* taxon;         // taxon or species its motifs show; null: each motif's own (header token 3)
  CollectionFamily family;
};

// All thirteen collections, in menu order.
const std::vector<Collection>& collections();

// The collection with this key, or null (the key "N", or any other text).
const Collection* collectionOf(std::string_view key);

// The menu line of the choice that picks no collection, and its key.
inline constexpr int kNoCollectionChoice = 14;
inline constexpr const char* kNoCollectionLabel = "None";
inline constexpr const char* kNoCollectionKey = "N";

// What the collections of one family share.
struct CollectionFamilyFacts {
  CollectionFamily family;
  const char* pageAddress;     // scheme and host of its public motif pages; the report links append the
                               // path, the query key and the motif's identifier
  // The listing of a loaded collection (outputPath + jobID + listingName) and the words it puts
  // before each motif's taxonOrSpecies and databaseMotifID (the reports have words of their own).
  const char* taxonWord;
  const char* identifierWord;
  const char* listingName;
};

// The row of the family, from the table of the three.
const CollectionFamilyFacts& collectionFamily(CollectionFamily family);

// The family's page address (its row's pageAddress).
const char* collectionPageAddress(CollectionFamily family);

}  // namespace korvelan
