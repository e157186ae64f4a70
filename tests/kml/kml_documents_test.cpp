// The two documents, byte for byte, and the route they carry, as the update cycle writes them.
//
// The expected files in tests/data/kml were written from the line tables of the documents'
// description. After a deliberate change, regenerate them with
//   build-sanitize/bin/kml_sample_documents tests/data/kml
// and review the diff line by line before committing it.

#include "kml/kml_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/platform_files.h"
#include "kml/document_set.h"
#include "tests/kml/comma_locale.h"
#include "tests/kml/kml_test_support.h"
#include "tests/kml/sample_flight.h"

namespace quorvane {
namespace {

using testing::ExpectedDocument;
using testing::ReadBytes;
using testing::TempFolder;

constexpr AircraftFix kPrague{50.1, 14.25, 245.4, true};
constexpr AircraftFix kPragueNext{50.11, 14.26, 250.0, true};

// Splits file bytes at each CR LF; any text after the last CR LF comes last.
std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  if (start < bytes.size()) {
    lines.push_back(bytes.substr(start));
  }
  return lines;
}

std::size_t Count(const std::string& bytes, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = bytes.find(what); at != std::string::npos; at = bytes.find(what, at + 1)) {
    ++count;
  }
  return count;
}

class KmlDocumentsTest : public ::testing::Test {
 protected:
  std::string Aircraft() const { return ReadBytes(folder_.Path() / "letadlo.kml"); }
  std::string RouteDocument() const { return ReadBytes(folder_.Path() / "trasa.kml"); }
  // One update with a fix: the route takes it, then the aircraft document is written.
  void Update(const AircraftFix& fix) {
    recorder_.RecordFix(fix, RoutePoint::Time{});
    documents_.WriteAircraftDocument(fix);
  }

  TempFolder folder_;
  DocumentSet set_{PlatformFileSystem(), folder_.Text()};
  XmlWriter& writer_ = set_.writer;
  KmlDocuments& documents_ = set_.kml;
  RouteRecorder& recorder_ = set_.recorder;
};

TEST_F(KmlDocumentsTest, WritesTheAircraftDocumentByteForByte) {
  documents_.WriteAircraftDocument(kPrague);
  const std::string bytes = Aircraft();
  EXPECT_EQ(bytes, ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));

  const std::vector<std::string> lines = SplitCrLf(bytes);
  ASSERT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines[45], "");  // line 46, the template's last
  EXPECT_EQ(lines[64], "</kml>");
  EXPECT_TRUE(bytes.ends_with("</kml>\r\n"));
  EXPECT_EQ(Count(bytes, "\n"), 65u);  // every line ends in CR LF, none in a bare LF
  EXPECT_EQ(Count(bytes, "\r"), 65u);
  EXPECT_TRUE(bytes.starts_with("<?xml"));  // no byte-order mark
}

TEST_F(KmlDocumentsTest, WritesTheRouteOfTwoMovingFixesByteForByte) {
  Update(kPrague);
  Update(kPragueNext);
  EXPECT_EQ(documents_.RouteCoordinates(), "14.250000,50.100000,0 14.260000,50.110000,0 ");

  documents_.WriteRouteDocument();
  const std::string bytes = RouteDocument();
  EXPECT_EQ(bytes, ExpectedDocument("route_two_tuples.kml"));
  const std::vector<std::string> lines = SplitCrLf(bytes);
  ASSERT_EQ(lines.size(), 50u);
  EXPECT_EQ(lines[39], "");  // line 40, the template's last
  EXPECT_EQ(Count(bytes, "\n"), 50u);
  EXPECT_EQ(Count(bytes, "\r"), 50u);
  EXPECT_TRUE(bytes.ends_with("</kml>\r\n"));
}

TEST_F(KmlDocumentsTest, WritesAnEmptyRouteWhenNoFixEverMoved) {
  documents_.WriteRouteDocument();
  EXPECT_EQ(RouteDocument(), ExpectedDocument("route_empty.kml"));

  Update({50.1, 14.25, 245.4, false});
  EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(documents_.RouteCoordinates(), "");
  documents_.WriteRouteDocument();
  EXPECT_EQ(RouteDocument(), ExpectedDocument("route_empty.kml"));
}

TEST_F(KmlDocumentsTest, ExtendsTheRouteOnlyByMovingFixes) {
  Update({-33.5, -0.5, 0.4, true});
  Update({10.0, 20.0, 90.0, false});
  Update({-34.25, -122.41942, 359.7, true});
  EXPECT_EQ(documents_.RouteCoordinates(), "-0.500000,-33.500000,0 -122.419420,-34.250000,0 ");

  const std::string aircraft = Aircraft();
  EXPECT_NE(aircraft.find("        <longitude>-122.419420</longitude>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <latitude>-34.250000</latitude>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <heading>360</heading>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <coordinates>-122.419420,-34.250000,10</coordinates>\r\n"),
            std::string::npos);

  recorder_.Clear();
  EXPECT_EQ(documents_.RouteCoordinates(), "");
  Update({50.1, 14.25, 245.4, true});
  EXPECT_EQ(documents_.RouteCoordinates(), "14.250000,50.100000,0 ") << "a new route after a clear";
}

TEST_F(KmlDocumentsTest, WritesTheSameFixTwiceIdentically) {
  Update(kPrague);
  const std::string first = Aircraft();
  documents_.WriteRouteDocument();
  const std::string first_route = RouteDocument();
  Update({50.1, 14.25, 245.4, false});
  EXPECT_EQ(Aircraft(), first);
  documents_.WriteRouteDocument();
  EXPECT_EQ(RouteDocument(), first_route);
}

TEST_F(KmlDocumentsTest, WritesPointsUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  Update(kPrague);
  EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  Update(kPragueNext);
  documents_.WriteRouteDocument();
  EXPECT_EQ(RouteDocument(), ExpectedDocument("route_two_tuples.kml"));
}

TEST_F(KmlDocumentsTest, JoinsFolderAndFileNameWithOneSeparator) {
  const std::string separator(1, kPathSeparator);
  EXPECT_EQ(documents_.AircraftDocumentPath(), folder_.Text() + separator + "letadlo.kml");
  EXPECT_EQ(documents_.RouteDocumentPath(), folder_.Text() + separator + "trasa.kml");
  documents_.SetDocumentsFolder("");
  EXPECT_EQ(documents_.AircraftDocumentPath(), separator + "letadlo.kml");
  documents_.SetDocumentsFolder("dir" + separator);  // nothing is added or removed
  EXPECT_EQ(documents_.RouteDocumentPath(), "dir" + separator + separator + "trasa.kml");
}

TEST_F(KmlDocumentsTest, LeavesTheWriterWithNoLinesAfterASave) {
  documents_.WriteAircraftDocument(kPrague);
  EXPECT_TRUE(writer_.Lines().empty());
  documents_.WriteRouteDocument();
  EXPECT_TRUE(writer_.Lines().empty());
}

TEST_F(KmlDocumentsTest, WritesBothDocumentsIntoTheFolderSetAtStartUp) {
  TempFolder later;
  documents_.SetDocumentsFolder(later.Text());
  Update(kPrague);
  Update(kPragueNext);
  Update(kPrague);
  EXPECT_EQ(documents_.RouteCoordinates(),
            "14.250000,50.100000,0 14.260000,50.110000,0 14.250000,50.100000,0 ");
  recorder_.Clear();
  EXPECT_EQ(documents_.RouteCoordinates(), "");
  documents_.WriteRouteDocument();
  EXPECT_EQ(ReadBytes(later.Path() / "letadlo.kml"),
            ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(ReadBytes(later.Path() / "trasa.kml"), ExpectedDocument("route_empty.kml"));
  EXPECT_EQ(later.Entries(), (std::set<std::string>{"letadlo.kml", "trasa.kml"}));
}

// --- 3D ---

const AircraftFix kHigh = testing::FixAt(50.1, 14.25, 245.4, true, 914.5);
const AircraftFix kHigher = testing::FixAt(50.11, 14.26, 250.0, true, 1219.25);

TEST_F(KmlDocumentsTest, WritesBothDocumentsIn3dByteForByte) {
  documents_.SetRelief(Relief::kThreeDimensional);
  Update(kHigher);
  Update(kHigh);
  EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_3d_50.1N_14.25E_hdg245.kml"));
  recorder_.Clear();
  recorder_.RecordFix(kHigh, {});
  recorder_.RecordFix(kHigher, {});
  documents_.WriteRouteDocument();
  EXPECT_EQ(RouteDocument(), ExpectedDocument("route_3d_two_tuples.kml"));
  EXPECT_EQ(documents_.RouteCoordinates(), "14.250000,50.100000,0 14.260000,50.110000,0 ")
      << "the flat route's text is the same";
}

// The altitude changes nothing in the flat documents, before 3D or after it was turned off.
TEST_F(KmlDocumentsTest, FlatDocumentsStayAsTheyWereWhateverTheAltitudeOrThe3dBefore) {
  for (const Relief before : {Relief::kFlat, Relief::kThreeDimensional}) {
    recorder_.Clear();
    documents_.SetRelief(before);
    documents_.WriteAircraftDocument(kHigh);
    documents_.WriteRouteDocument();
    documents_.SetRelief(Relief::kFlat);
    recorder_.RecordFix(kHigh, {});
    recorder_.RecordFix(kHigher, {});
    documents_.WriteAircraftDocument(kHigh);
    EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
    documents_.WriteRouteDocument();
    EXPECT_EQ(RouteDocument(), ExpectedDocument("route_two_tuples.kml"));
  }
}

TEST_F(KmlDocumentsTest, PlacesThe3dRouteAtEveryAltitudeWhateverTheLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0];
  documents_.SetRelief(Relief::kThreeDimensional);
  Update(testing::FixAt(31.5, 35.5, 180.0, true, -430.0));    // the Dead Sea
  Update(testing::FixAt(31.6, 35.6, 180.0, true, 15240.0));   // 50,000 ft
  Update(testing::FixAt(31.7, 35.7, 180.0, false, 16000.0));  // standing: not in the route
  documents_.WriteRouteDocument();
  EXPECT_NE(RouteDocument().find("<coordinates>35.500000,31.500000,-430.0 "
                                 "35.600000,31.600000,15240.0 </coordinates>"),
            std::string::npos)
      << RouteDocument();
  EXPECT_NE(Aircraft().find("<coordinates>35.700000,31.700000,16000.0</coordinates>"),
            std::string::npos);
  EXPECT_NE(Aircraft().find("<altitude>16000.0</altitude>"), std::string::npos);
}

}  // namespace
}  // namespace quorvane
