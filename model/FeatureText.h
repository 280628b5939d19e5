#pragma once
// The text of a feature line in a class or interface box. Plain, a feature
// shows its name; in UML notation ("Types and visibility") it shows
//   + name : Type [0..*]              an attribute
//   + name(p : Type, q) : Result      an operation
// with the visibility as its UML sign (+ public, - private, # protected,
// ~ package; none when the file gives none) and the parts the file leaves
// out left away.

#include <functional>
#include <string>

namespace lumetra {

class Attribute;
class Method;

std::string visibilitySign(const std::string& visibility);
std::string attributeLine(const Attribute& attribute);
std::string methodLine(const Method& method);

// text unchanged when measure(text) is at most width; otherwise the longest
// beginning of it (cut between characters, never inside one) followed by
// "..." that is, or "..." alone when nothing more fits. measure gives a
// text's width in the units of width.
std::string fitToWidth(const std::string& text, float width, const std::function<float(const std::string&)>& measure);

}  // namespace lumetra
