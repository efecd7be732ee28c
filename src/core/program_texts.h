// The lines by which the reports and the input listing name the program, its version and its author.
#pragma once

namespace korvelan {

inline constexpr const char* kProgramTitle = "KORVELAN - KORVELAN Detection Tool";
// The reports' version line. The input listing has always carried the line of the release before,
// and listings kept from earlier runs show it, so it keeps its own.
inline constexpr const char* kReportVersion = "Version 2.2";
inline constexpr const char* kListingVersion = "Version 2.1";
// The footers: the creation date follows the first, the author line ends the report.
inline constexpr const char* kCreatedBy = "Results created by KORVELAN on ";
inline constexpr const char* kAuthorLine = "KORVELAN is written by Orsabel";

}  // namespace korvelan
