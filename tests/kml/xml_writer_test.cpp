// The indented XML line writer: its worked example and its indentation rules at the edges, all
// through the lines it writes.

#include "kml/xml_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane {
namespace {

using ::testing::ElementsAre;

// One step of building the aircraft placemark and the line it writes.
struct Step {
  std::function<void(XmlWriter&)> call;
  std::string line;  // the line written, blanks included
};

TEST(XmlWriterTest, BuildsTheAircraftPlacemarkStepByStep) {
  const auto open = [](std::string tag) { return [tag](XmlWriter& w) { w.OpenElement(tag); }; };
  const auto leaf = [](std::string name, std::string value) {
    return [name, value](XmlWriter& w) { w.LeafElement(name, value); };
  };
  const auto close = [](XmlWriter& w) { w.CloseElement(); };
  const std::vector<Step> steps = {
      {open("Placemark"), "<Placemark>"},
      {leaf("name", ""), "    <name></name>"},
      {open("LookAt"), "    <LookAt>"},
      {leaf("longitude", "14.250000"), "        <longitude>14.250000</longitude>"},
      {leaf("latitude", "50.100000"), "        <latitude>50.100000</latitude>"},
      {leaf("altitude", "10"), "        <altitude>10</altitude>"},
      {leaf("range", "100000"), "        <range>100000</range>"},
      {leaf("tilt", "0"), "        <tilt>0</tilt>"},
      {leaf("heading", "245"), "        <heading>245</heading>"},
      {leaf("altitudeMode", "relativeToGround"),
       "        <altitudeMode>relativeToGround</altitudeMode>"},
      {leaf("gx:altitudeMode", "relativeToSeaFloor"),
       "        <gx:altitudeMode>relativeToSeaFloor</gx:altitudeMode>"},
      {close, "    </LookAt>"},
      {leaf("styleUrl", "#msn_airports"), "    <styleUrl>#msn_airports</styleUrl>"},
      {open("Point"), "    <Point>"},
      {leaf("coordinates", "14.250000,50.100000,10"),
       "        <coordinates>14.250000,50.100000,10</coordinates>"},
      {close, "    </Point>"},
      {close, "</Placemark>"},
  };

  XmlWriter writer;
  writer.BeginDocument();
  EXPECT_TRUE(writer.Lines().empty());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1));
    steps[i].call(writer);
    ASSERT_EQ(writer.Lines().size(), i + 1);
    EXPECT_EQ(writer.Lines().back(), steps[i].line);
  }
  // Every element is closed, and a sibling after the last end tag lines up with it.
  EXPECT_THROW(writer.CloseElement(), std::logic_error);
  writer.LeafElement("next", "");
  EXPECT_EQ(writer.Lines().back(), "<next></next>");
}

TEST(XmlWriterTest, BuildsTheRoutePlacemarkWithItsCoordinatesOnOneLine) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.OpenElement("Placemark");
  writer.LeafElement("name", "trasa");
  writer.LeafElement("styleUrl", "#msn_ylw-pushpin1");
  writer.OpenElement("LineString");
  writer.LeafElement("tessellate", "1");
  writer.LeafElement("coordinates", "1.000000,2.000000,0 3.000000,4.000000,0 ");
  writer.CloseElement();
  writer.CloseElement();
  EXPECT_THAT(writer.Lines(),
              ElementsAre("<Placemark>", "    <name>trasa</name>",
                          "    <styleUrl>#msn_ylw-pushpin1</styleUrl>", "    <LineString>",
                          "        <tessellate>1</tessellate>",
                          "        <coordinates>1.000000,2.000000,0 3.000000,4.000000,0 "
                          "</coordinates>",
                          "    </LineString>", "</Placemark>"));
  EXPECT_THROW(writer.CloseElement(), std::logic_error) << "every element is closed";
  writer.OpenElement("Placemark");
  EXPECT_EQ(writer.Lines().back(), "<Placemark>") << "lines up with the last end tag";
}

TEST(XmlWriterTest, WritesNoBlanksWhileIndentIsZeroOrBelow) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.LeafElement("x", "1");  // -4 + 4 = 0
  writer.OpenElement("a");       // after a leaf: stays 0
  writer.CloseElement();         // 0 - 4 = -4, still at column 0
  writer.OpenElement("b");       // the close kept LastWasLeaf false: -4 + 4 = 0
  writer.OpenElement("c");       // 0 + 4: the margin was not moved by the lines left of it
  EXPECT_THAT(writer.Lines(), ElementsAre("<x>1</x>", "<a>", "</a>", "<b>", "    <c>"));
}

TEST(XmlWriterTest, LinesUpWithTheLeafOrEndTagWrittenBefore) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.OpenElement("a");
  writer.LeafElement("first", "1");
  writer.OpenElement("b");  // after a leaf: same blanks as the leaf
  writer.LeafElement("inner", "2");
  writer.CloseElement();
  writer.LeafElement("after", "3");  // after an end tag that followed a leaf: same blanks
  writer.OpenElement("c");
  writer.LeafElement("inner", "4");
  writer.CloseElement();
  writer.CloseElement();
  EXPECT_THAT(writer.Lines(),
              ElementsAre("<a>", "    <first>1</first>", "    <b>", "        <inner>2</inner>",
                          "    </b>", "    <after>3</after>", "    <c>", "        <inner>4</inner>",
                          "    </c>", "</a>"));
}

struct TagNameCase {
  std::string label;
  std::string tag_text;
  std::string name;

  friend void PrintTo(const TagNameCase& c, std::ostream* out) {
    *out << '"' << c.tag_text << "\" -> \"" << c.name << '"';
  }
};

class TagNameTest : public ::testing::TestWithParam<TagNameCase> {};

TEST_P(TagNameTest, IsTheTextBeforeTheFirstBlank) {
  EXPECT_EQ(TagName(GetParam().tag_text), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(TagTexts, TagNameTest,
                         ::testing::Values(TagNameCase{"Namespace", "kml xmlns=x", "kml"},
                                           TagNameCase{"BareName", "Point", "Point"},
                                           TagNameCase{"Attribute", "Style id=\"s1\"", "Style"},
                                           TagNameCase{"LeadingBlank", " leading", ""},
                                           TagNameCase{"TabIsNoSeparator", "a\tb c", "a\tb"},
                                           TagNameCase{"LineBreakIsNoSeparator", "a\nb", "a\nb"},
                                           TagNameCase{"Empty", "", ""}),
                         [](const ::testing::TestParamInfo<TagNameCase>& info) {
                           return info.param.label;
                         });

TEST(XmlWriterTest, ClosesAnElementOpenedWithAttributesByItsNameAlone) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.OpenElement("Style id=\"s1\"");
  writer.LeafElement("scale", "0.7");
  writer.CloseElement();
  writer.OpenElement(" odd");
  writer.LeafElement("k", "v");
  writer.CloseElement();
  EXPECT_THAT(writer.Lines(), ElementsAre("<Style id=\"s1\">", "    <scale>0.7</scale>", "</Style>",
                                          "< odd>", "    <k>v</k>", "</>"));
}

TEST(XmlWriterTest, WritesValuesUnchangedAndOnOneLine) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.OpenElement("a");
  writer.LeafElement("text", "x < y & \"z\" 'w' >");
  writer.LeafElement("name", "");
  const std::string long_value(5000, 'v');
  writer.LeafElement("long", long_value);
  ASSERT_EQ(writer.Lines().size(), 4u);
  EXPECT_EQ(writer.Lines()[1], "    <text>x < y & \"z\" 'w' ></text>");
  EXPECT_EQ(writer.Lines()[2], "    <name></name>");
  EXPECT_EQ(writer.Lines()[3], "    <long>" + long_value + "</long>");
}

TEST(XmlWriterTest, KeepsLinesAppendedDirectlyWithoutMovingTheIndentation) {
  XmlWriter writer;
  writer.BeginDocument();
  writer.Lines().push_back("\t<name>letadlo.kml</name>");
  writer.OpenElement("a");
  writer.Lines().push_back("  raw <unbalanced");
  writer.LeafElement("b", "1");
  writer.Lines().push_back("");
  writer.CloseElement();
  EXPECT_THAT(writer.Lines(), ElementsAre("\t<name>letadlo.kml</name>", "<a>", "  raw <unbalanced",
                                          "    <b>1</b>", "", "</a>"));
}

// The calls of one small document; returns the lines it produced.
std::vector<std::string> BuildSmallDocument(XmlWriter& writer) {
  writer.BeginDocument();
  writer.Lines().push_back("<Document>");
  writer.OpenElement("Placemark");
  writer.LeafElement("name", "trasa");
  writer.OpenElement("LineString");
  writer.LeafElement("coordinates", "1,2,0 ");
  writer.CloseElement();
  writer.CloseElement();
  writer.Lines().push_back("</Document>");
  return writer.Lines();
}

TEST(XmlWriterTest, BeginDocumentStartsEveryDocumentAlike) {
  XmlWriter fresh;
  const std::vector<std::string> first = BuildSmallDocument(fresh);
  EXPECT_EQ(BuildSmallDocument(fresh), first);

  // A writer left in the middle of a document, with elements open after a leaf.
  XmlWriter used;
  used.BeginDocument();
  used.OpenElement("x");
  used.OpenElement("y z=\"1\"");
  used.LeafElement("w", "2");
  EXPECT_EQ(BuildSmallDocument(used), first);
  EXPECT_THROW(used.CloseElement(), std::logic_error) << "nothing of the earlier document is open";
}

TEST(XmlWriterTest, RefusesMoreThan64OpenElementsAndCloseWithNoneOpen) {
  XmlWriter writer;
  writer.BeginDocument();
  EXPECT_THROW(writer.CloseElement(), std::logic_error);
  EXPECT_TRUE(writer.Lines().empty());

  for (int i = 1; i <= XmlWriter::kMaxOpenElements; ++i) {
    writer.OpenElement("e" + std::to_string(i));
  }
  EXPECT_EQ(writer.Lines().front(), "<e1>") << "the refused close moved nothing";
  EXPECT_EQ(writer.Lines().back(), std::string(63 * 4, ' ') + "<e64>");
  EXPECT_THROW(writer.OpenElement("e65"), std::logic_error);
  EXPECT_EQ(writer.Lines().size(), 64u);

  // The refused element took no place: the innermost one is still e64, at the same blanks.
  writer.CloseElement();
  EXPECT_EQ(writer.Lines().back(), std::string(62 * 4, ' ') + "</e64>");
  for (int i = XmlWriter::kMaxOpenElements - 1; i >= 1; --i) {
    writer.CloseElement();
  }
  EXPECT_EQ(writer.Lines().back(), "</e1>");
  EXPECT_THROW(writer.CloseElement(), std::logic_error);
  EXPECT_EQ(writer.Lines().size(), 128u);
}

}  // namespace
}  // namespace quorvane
