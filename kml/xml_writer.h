#pragma once

// xmlpars: appends XML to a list of text lines, one line per call, indenting each line with
// blanks by how deeply it is nested. It knows nothing of KML, escapes nothing and never breaks a
// line: tag texts and values are written exactly as given.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One indented XML line writer, for documents built one after the other. A start tag or a leaf
// goes four blanks further in than the line written before it, unless the start tag or leaf
// written last was a leaf: then it lines up with the line before. An end tag goes four blanks
// out from the line before. A document's first line has no blanks, and a line that would lie
// left of the margin has none either.
class XmlWriter {
 public:
  // Most elements open at once.
  static constexpr int kMaxOpenElements = 64;

  // Starts a document: Lines becomes a new, empty list, no element is open, and the next line
  // the writer writes has no blanks.
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

 private:
  // A new line holding the current indentation's blanks, with room for text_size more bytes.
  std::string IndentedLine(std::size_t text_size) const;

  std::vector<std::string> lines_;
  int indent_ = 0;  // blanks before the line written last; none when zero or below
  int depth_ = 0;   // elements opened and not closed yet
  // The tag text of each open element: the one opened when depth_ became d is at index d.
  std::array<std::string, kMaxOpenElements + 1> tag_stack_;
  bool last_was_leaf_ = false;  // the last line written by OpenElement or LeafElement was a leaf
};

// The element name of a start tag's text: the text before its first blank (character 32), or the
// whole text when it has none. A text that begins with a blank gives "".
std::string_view TagName(std::string_view tag_text);

}  // namespace quorvane
