// The frame of the four HTML report pages and the two tree pages: the header creates a page with its
// head, style sheet, INPUT box and RESULTS heading; the footer completes the page.
#include <fstream>
#include <ostream>
#include <string>

#include "core/globals.h"
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
  out << "<tr>" << std::endl;
  out << "<td><font size = '2'>" << label << "</font></td>" << std::endl;
  out << "<td><font size = '2'>" << value << "</font></td>" << std::endl;
  out << "</tr>" << std::endl;
}

}  // namespace

void writePageHeader(ReportId report) {
  const PageLook page = lookOf(report);
  std::ofstream& out = openReport(report, OpenMode::Create);
  out << "<html>" << std::endl;
  out << "<head>" << std::endl;
  out << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />" << std::endl;
  out << "<title>KORVELAN Results</title>" << std::endl;
  out << "<style type = 'text/css'>" << std::endl;
  out << ".boxed {<br>&nbsp;&nbsp; border: 2px solid #B0B0B0 ; padding: 7px;<br>}" << std::endl;
  out << ".sansserif {font-family: Verdana}" << std::endl;
  if (page.detailed) out << ".textshadow {text-shadow: 1px 1px 1px #333;}" << std::endl;
  out << "html{-webkit-font-smoothing: antialiased;}" << std::endl;
  if (!page.tree) out << "@media print{@page {size: landscape}}" << std::endl;
  out << "@page { @bottom-right { content: 'Page ' counter(page) ' of ' counter(pages); } }" << std::endl;
  out << "</style>" << std::endl;
  out << "</head>" << std::endl;
  out << "<body>" << std::endl;
  const char* title = page.tree ? "h2" : "h1";
  const char* heading = page.tree ? "h4" : "h3";
  out << "<" << title
      << " class='sansserif' style='text-shadow: 2px 2px 2px #999'> KORVELAN - KORVELAN Detection Tool </"
      << title << ">" << std::endl;
  out << "<p><b class='sansserif'>Version 2.2 </b></p>" << std::endl;
  out << "<div><" << heading << " class='sansserif'> INPUT </" << heading << "></div>" << std::endl;
  out << "<div class = 'boxed'>" << std::endl;
  out << "<b class='sansserif'><font size = '2'>" << "Input Parameters " << "</font></b>" << std::endl;
  out << "<table class='sansserif' width = '" << (page.tree ? "700" : "600")
      << "' border = '0' cellSpacing = '1' cellPadding = '1'>" << std::endl;
  out << "<col width= '300'>" << std::endl;
  out << "<col width= '" << (page.tree ? "400" : "300") << "'>" << std::endl;
  parameterRow(out, "Number of files: ", numFile);
  parameterRow(out, "Number of top significant motifs: ", numTopMotif);
  parameterRow(out, "Number of best matches: ", numBestMatches);
  parameterRow(out, "Similarity cutoff >= ", simCutoff);
  parameterRow(out, "Matching motif database: ", htmlEscape(databaseDisplayName(DBName)));
  parameterRow(out, "Motif tree: ", yesNo(motifCluster));
  parameterRow(out, "Combined similar motifs: ", yesNo(combinedMotifFlag));
  parameterRow(out, "Output file type: ", htmlEscape(outputFileType));
  parameterRow(out, "Output file format: ", htmlEscape(outputFileFormat));
  out << "</table>" << std::endl;
  out << "<br>" << std::endl;
  if (page.detailed)
    out << "<b class='sansserif' ><font size = '2'> Input files and motif counts </font></b>" << std::endl;
  else
    out << "<b class='sansserif'><font size = '2'> Input files and motif counts </font></b>" << std::endl;
  out << "<table class='sansserif' width='700' border = '0' cellSpacing = '1' cellPadding = '1' >" << std::endl;
  out << "<col width= '450'>" << std::endl;
  out << "<col width= '150'>" << std::endl;
  out << "<col width= '150'>" << std::endl;
  out << "<tr>" << std::endl;
  out << "<td><b><font size = '2'>" << "File name" << "</font></b></td>" << std::endl;
  out << "<td><b><font size = '2'>" << "Count of motifs" << "</font></b></td>" << std::endl;
  out << "<td><b><font size = '2'>" << (page.tree ? "Dataset #" : "Dataset number ") << "</font></b></td>"
      << std::endl;
  out << "</tr>" << std::endl;
  for (const fileNameAndType& file : FileNameType) {
    out << "<tr>" << std::endl;
    out << "<td><font size = '2'>" << htmlEscape(file.fileName) << "</font></td>" << std::endl;
    out << "<td><font size = '2'>" << file.motifCount << "</font></td>" << std::endl;
    out << "<td><font size = '2'>" << file.datasetNum << "</font></td>" << std::endl;
    out << "</tr>" << std::endl;
  }
  out << "</table>" << std::endl;
  out << "</div>" << std::endl;
  out << "<br>" << std::endl;
  out << "<" << heading << " class='sansserif'> RESULTS </" << heading << ">" << std::endl;
  closeReport(out);
}

void writePageFooter(ReportId report) {
  const PageLook page = lookOf(report);
  std::ofstream& out = openReport(report, OpenMode::Append);
  if (!page.tree) out << "</div>" << std::endl;  // ends the box the last result section left open
  out << "<p class='sansserif'>" << std::endl;
  out << "<font size = '2' >" << std::endl;
  if (page.tree) {
    out << "Results created by KORVELAN on " << getCurrDateTime() << std::endl;
    out << "<br>" << std::endl;
    out << "Runtime: " << wtime << " seconds" << std::endl;
    out << "<br>" << std::endl;
    out << "KORVELAN is written by Orsabel" << "</font>" << std::endl;
  } else {
    out << "Results created by KORVELAN on " << getCurrDateTime() << "</font>" << std::endl;
    out << "<br>" << std::endl;
    out << "<font size = '2' >" << std::endl;
    out << "Runtime: " << wtime << " seconds" << "</font>" << std::endl;
    out << "</p>" << std::endl;
    out << "<p class='sansserif'>" << std::endl;
    out << "<font size = '2' >" << std::endl;
    out << "KORVELAN is written by Orsabel" << "</font>" << std::endl;
    out << "<br>" << std::endl;
    out << "<font size = '2' >" << std::endl;
    out << "Motif logo generated by <a href='http://weblogo.threeplusone.com/' target ='_blank'> weblogo</a>"
        << "</font>" << std::endl;
  }
  out << "</p>" << std::endl;
  out << "</body>" << std::endl;
  out << "</html>" << std::endl;
  closeReport(out);
}

}  // namespace korvelan
