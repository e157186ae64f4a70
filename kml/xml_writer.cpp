#include "kml/xml_writer.h"

#include <stdexcept>
#include <utility>

namespace quorvane {

namespace {
constexpr int kIndentStep = 4;
}  // namespace

void XmlWriter::BeginDocument() {
  lines_ = {};
  indent_ = -kIndentStep;
  depth_ = 0;
  last_was_leaf_ = false;
}

void XmlWriter::OpenElement(std::string_view tag_text) {
  // A fixed stack of 64 entries: refuse a 65th rather than write past it.
  if (depth_ >= kMaxOpenElements) {
    throw std::logic_error("XmlWriter: more than 64 elements open");
  }
  if (!last_was_leaf_) {
    indent_ += kIndentStep;
  }
  std::string line = IndentedLine(tag_text.size() + 2);
  line.append("<").append(tag_text).append(">");
  lines_.push_back(std::move(line));
  ++depth_;
  tag_stack_[static_cast<std::size_t>(depth_)] = tag_text;
  last_was_leaf_ = false;
}

void XmlWriter::LeafElement(std::string_view name, std::string_view value) {
  if (!last_was_leaf_) {
    indent_ += kIndentStep;
  }
  std::string line = IndentedLine(2 * name.size() + value.size() + 5);
  line.append("<").append(name).append(">").append(value);
  line.append("</").append(name).append(">");
  lines_.push_back(std::move(line));
  last_was_leaf_ = true;
}

void XmlWriter::CloseElement() {
  if (depth_ <= 0) {
    throw std::logic_error("XmlWriter: no element open to close");
  }
  // The end tag goes one step out whether or not a leaf came last; LastWasLeaf stays as it is,
  // so a sibling after the end of a leaf-filled element lines up with that end tag.
  indent_ -= kIndentStep;
  const std::string_view name = TagName(tag_stack_[static_cast<std::size_t>(depth_)]);
  std::string line = IndentedLine(name.size() + 3);
  line.append("</").append(name).append(">");
  lines_.push_back(std::move(line));
  --depth_;
}

std::string XmlWriter::IndentedLine(std::size_t text_size) const {
  // Indent may be zero or negative (a document starts at -4); such lines get no blanks.
  const std::size_t blanks = indent_ > 0 ? static_cast<std::size_t>(indent_) : 0;
  std::string line;
  line.reserve(blanks + text_size);
  line.append(blanks, ' ');
  return line;
}

std::string_view TagName(std::string_view tag_text) {
  // Only the blank ends the name; a tab or line break inside a tag text is part of it.
  return tag_text.substr(0, tag_text.find(' '));
}

}  // namespace quorvane
