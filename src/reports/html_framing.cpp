// The frame of the four HTML report pages and the two tree pages: the header creates a page with its
// head, style sheet, INPUT box and RESULTS heading; the footer completes the page.
#include <fstream>
#include <ostream>
#include <string>

#include "core/globals.h"
#include "core/program_texts.h"
#include "core/report_files.h"
#include "core/report_io.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "reports/text_framing.h"

namespace korvelan {

namespace {

// How a page's frame departs from the common one (see HeaderVariant): the detailed results page and
// the tree pages carry an extra style rule and a slightly different input-files heading; the tree
// pages also have larger headings, a wider parameter table, no landscape print rule and a shorter
// footer, since each tree section closes its own box.
struct PageLook {
  bool detailed;
  bool tree;
};

PageLook lookOf(ReportId page) {
  const HeaderVariant variant = reportFile(page).header;
  return {.detailed = variant == HeaderVariant::Detailed || variant == HeaderVariant::TreePage,
          .tree = variant == HeaderVariant::TreePage};
}

template <typename Value>
void parameterRow(std::ostream& out, const char* label, const Value& value) {
  out << "<tr>\n";
  out << "<td><font size = '2'>" << label << "</font></td>\n";
  out << "<td><font size = '2'>" << value << "</font></td>\n";
  out << "</tr>\n";
}

}  // namespace

void writePageHeader(ReportId report) {
  const PageLook page = lookOf(report);
  std::ofstream& out = openReport(report, OpenMode::Create);
  out << "<html>\n";
  out << "<head>\n";
  out << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n";
  out << "<title>KORVELAN Results</title>\n";
  out << "<style type = 'text/css'>\n";
  out << ".boxed {<br>&nbsp;&nbsp; border: 2px solid #B0B0B0 ; padding: 7px;<br>}\n";
  out << ".sansserif {font-family: Verdana}\n";
  if (page.detailed) out << ".textshadow {text-shadow: 1px 1px 1px #333;}\n";
  out << "html{-webkit-font-smoothing: antialiased;}\n";
  if (!page.tree) out << "@media print{@page {size: landscape}}\n";
  out << "@page { @bottom-right { content: 'Page ' counter(page) ' of ' counter(pages); } }\n";
  out << "</style>\n";
  out << "</head>\n";
  out << "<body>\n";
  const char* title = page.tree ? "h2" : "h1";
  const char* heading = page.tree ? "h4" : "h3";
  out << "<" << title << " class='sansserif' style='text-shadow: 2px 2px 2px #999'> " << kProgramTitle
      << " </" << title << ">\n";
  out << "<p><b class='sansserif'>" << kReportVersion << " </b></p>\n";
  out << "<div><" << heading << " class='sansserif'> INPUT </" << heading << "></div>\n";
  out << "<div class = 'boxed'>\n";
  out << "<b class='sansserif'><font size = '2'>"
      << "Input Parameters "
      << "</font></b>\n";
  out << "<table class='sansserif' width = '" << (page.tree ? "700" : "600")
      << "' border = '0' cellSpacing = '1' cellPadding = '1'>\n";
  out << "<col width= '300'>\n";
  out << "<col width= '" << (page.tree ? "400" : "300") << "'>\n";
  forEachSetting(true, [&out](const char* label, const auto& value) { parameterRow(out, label, value); });
  out << "</table>\n";
  out << "<br>\n";
  if (page.detailed)
    out << "<b class='sansserif' ><font size = '2'> Input files and motif counts </font></b>\n";
  else
    out << "<b class='sansserif'><font size = '2'> Input files and motif counts </font></b>\n";
  out << "<table class='sansserif' width='700' border = '0' cellSpacing = '1' cellPadding = '1' >\n";
  out << "<col width= '450'>\n";
  out << "<col width= '150'>\n";
  out << "<col width= '150'>\n";
  out << "<tr>\n";
  out << "<td><b><font size = '2'>"
      << "File name"
      << "</font></b></td>\n";
  out << "<td><b><font size = '2'>"
      << "Count of motifs"
      << "</font></b></td>\n";
  out << "<td><b><font size = '2'>" << (page.tree ? "Dataset #" : "Dataset number ") << "</font></b></td>"
      << '\n';
  out << "</tr>\n";
  for (const fileNameAndType& file : FileNameType) {
    out << "<tr>\n";
    out << "<td><font size = '2'>" << htmlEscape(file.fileName) << "</font></td>\n";
    out << "<td><font size = '2'>" << file.motifCount << "</font></td>\n";
    out << "<td><font size = '2'>" << file.datasetNum << "</font></td>\n";
    out << "</tr>\n";
  }
  out << "</table>\n";
  out << "</div>\n";
  out << "<br>\n";
  out << "<" << heading << " class='sansserif'> RESULTS </" << heading << ">\n";
  closeReport(out);
}

void writePageFooter(ReportId report) {
  const PageLook page = lookOf(report);
  std::ofstream& out = openReport(report, OpenMode::Append);
  if (!page.tree) out << "</div>\n";  // ends the box the last result section left open
  out << "<p class='sansserif'>\n";
  out << "<font size = '2' >\n";
  if (page.tree) {
    out << kCreatedBy << getCurrDateTime() << '\n';
    out << "<br>\n";
    out << "Runtime: " << wtime << " seconds\n";
    out << "<br>\n";
    out << kAuthorLine << "</font>\n";
  } else {
    out << kCreatedBy << getCurrDateTime() << "</font>\n";
    out << "<br>\n";
    out << "<font size = '2' >\n";
    out << "Runtime: " << wtime << " seconds"
        << "</font>\n";
    out << "</p>\n";
    out << "<p class='sansserif'>\n";
    out << "<font size = '2' >\n";
    out << kAuthorLine << "</font>\n";
    out << "<br>\n";
    out << "<font size = '2' >\n";
    out << "Motif logo generated by <a href='http://weblogo.threeplusone.com/' target ='_blank'> weblogo</a>"
        << "</font>\n";
  }
  out << "</p>\n";
  out << "</body>\n";
  out << "</html>\n";
  closeReport(out);
}

}  // namespace korvelan
