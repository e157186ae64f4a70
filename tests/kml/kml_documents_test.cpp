// The two documents, byte for byte, and the route they carry.
//
// The expected files in tests/data/kml were written from the line tables of the documents'
// description. After a deliberate change, regenerate them with
//   build-sanitize/bin/kml_sample_documents tests/data/kml
// and review the diff line by line before committing it.

#include "kml/kml_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kml/platform_files.h"
#include "tests/kml/comma_locale.h"
#include "tests/kml/kml_test_support.h"

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
  std::string Route() const { return ReadBytes(folder_.Path() / "trasa.kml"); }

  TempFolder folder_;
  XmlWriter writer_;
  KmlDocuments documents_{writer_, PlatformFileSystem(), folder_.Text()};
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
  documents_.WriteAircraftDocument(kPrague);
  documents_.WriteAircraftDocument(kPragueNext);
  EXPECT_EQ(documents_.RouteCoordinates(), "14.250000,50.100000,0 14.260000,50.110000,0 ");

  documents_.WriteRouteDocument();
  const std::string bytes = Route();
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
  EXPECT_EQ(Route(), ExpectedDocument("route_empty.kml"));

  documents_.WriteAircraftDocument({50.1, 14.25, 245.4, false});
  EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(documents_.RouteCoordinates(), "");
  documents_.WriteRouteDocument();
  EXPECT_EQ(Route(), ExpectedDocument("route_empty.kml"));
}

TEST_F(KmlDocumentsTest, ExtendsTheRouteOnlyByMovingFixes) {
  documents_.WriteAircraftDocument({-33.5, -0.5, 0.4, true});
  documents_.WriteAircraftDocument({10.0, 20.0, 90.0, false});
  documents_.WriteAircraftDocument({-34.25, -122.41942, 359.7, true});
  EXPECT_EQ(documents_.RouteCoordinates(), "-0.500000,-33.500000,0 -122.419420,-34.250000,0 ");

  const std::string aircraft = Aircraft();
  EXPECT_NE(aircraft.find("        <longitude>-122.419420</longitude>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <latitude>-34.250000</latitude>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <heading>360</heading>\r\n"), std::string::npos);
  EXPECT_NE(aircraft.find("        <coordinates>-122.419420,-34.250000,10</coordinates>\r\n"),
            std::string::npos);

  documents_.ClearRouteCoordinates();
  EXPECT_EQ(documents_.RouteCoordinates(), "");
}

TEST_F(KmlDocumentsTest, WritesTheSameFixTwiceIdentically) {
  documents_.WriteAircraftDocument(kPrague);
  const std::string first = Aircraft();
  documents_.WriteRouteDocument();
  const std::string first_route = Route();
  documents_.WriteAircraftDocument({50.1, 14.25, 245.4, false});
  EXPECT_EQ(Aircraft(), first);
  documents_.WriteRouteDocument();
  EXPECT_EQ(Route(), first_route);
}

TEST_F(KmlDocumentsTest, WritesPointsUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  documents_.WriteAircraftDocument(kPrague);
  EXPECT_EQ(Aircraft(), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  documents_.WriteAircraftDocument(kPragueNext);
  documents_.WriteRouteDocument();
  EXPECT_EQ(Route(), ExpectedDocument("route_two_tuples.kml"));
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

TEST(KmlDocumentsModuleTest, WritesBothDocumentsIntoTheFolderSetAtStartUp) {
  TempFolder folder;
  SetDocumentsFolder(folder.Text());
  ClearRouteCoordinates();
  WriteAircraftDocument(kPrague);
  WriteAircraftDocument(kPragueNext);
  WriteAircraftDocument(kPrague);
  EXPECT_EQ(RouteCoordinates(),
            "14.250000,50.100000,0 14.260000,50.110000,0 14.250000,50.100000,0 ");
  ClearRouteCoordinates();
  EXPECT_EQ(RouteCoordinates(), "");
  WriteRouteDocument();
  EXPECT_EQ(ReadBytes(folder.Path() / "letadlo.kml"),
            ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(ReadBytes(folder.Path() / "trasa.kml"), ExpectedDocument("route_empty.kml"));
  SetDocumentsFolder("");
}

}  // namespace
}  // namespace quorvane
