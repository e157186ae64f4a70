#pragma once

// xmlpars: appends XML to a list of text lines, one line per call, indenting each line with
// blanks by how deeply it is nested. It knows nothing of KML, escapes nothing and never breaks a
// line: tag texts and values are written exactly as given.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One indented XML line writer. The process has one (ProcessXmlWriter) shared by both KML
// documents; tests make their own.
class XmlWriter {
 public:
  // Most elements open at once; TagStack index 0 is never used.
  static constexpr int kMaxOpenElements = 64;

  // Starts a document: Lines becomes a new, empty list; Indent -4, Depth 0, LastWasLeaf false.
  // The tag stack is left as it is (its entries are replaced as elements are opened).
  void BeginDocument();

  // Writes "<tag_text>" (a name, optionally a blank and attributes) as one line and records
  // tag_text as the innermost open element. Throws std::logic_error, changing nothing, when
  // kMaxOpenElements elements are already open.
  void OpenElement(std::string_view tag_text);

  // Writes "<name>value</name>" as one line; opens nothing. value may be empty.
  void LeafElement(std::string_view name, std::string_view value);

  // Writes the end tag of the innermost open element (its TagName only) and forgets it. Throws
  // std::logic_error, changing nothing, when no element is open.
  void CloseElement();

  // The document being built. The caller may append lines directly (template and closing
  // lines); they are kept unchanged and move no indentation.
  std::vector<std::string>& Lines() { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_; }

  // Frees the line list once the document is saved.
  void ReleaseLines() { std::vector<std::string>().swap(lines_); }

  // Blanks before the line written last; zero or negative means none.
  int Indent() const { return indent_; }
  // Elements opened by OpenElement and not closed yet.
  int Depth() const { return depth_; }
  // Tag texts of the open elements: the one opened when Depth became d is at index d.
  const std::array<std::string, kMaxOpenElements + 1>& TagStack() const { return tag_stack_; }
  // True when the last line written by OpenElement or LeafElement came from LeafElement.
  bool LastWasLeaf() const { return last_was_leaf_; }

 private:
  // A new line holding the current indentation's blanks, with room for text_size more bytes.
  std::string IndentedLine(std::size_t text_size) const;

  std::vector<std::string> lines_;
  int indent_ = 0;
  int depth_ = 0;
  std::array<std::string, kMaxOpenElements + 1> tag_stack_;
  bool last_was_leaf_ = false;
};

// The element name of a start tag's text: the text before its first blank (character 32), or the
// whole text when it has none. A text that begins with a blank gives "".
std::string_view TagName(std::string_view tag_text);

// The process's one writer, used by the module-wide operations below.
XmlWriter& ProcessXmlWriter();

// The operations of XmlWriter on the process's writer.
void BeginDocument();
void OpenElement(std::string_view tag_text);
void LeafElement(std::string_view name, std::string_view value);
void CloseElement();
std::vector<std::string>& Lines();

}  // namespace quorvane
