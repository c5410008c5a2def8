// The language of zerb-shift's messages. Every sentence a person reads (refusals, warnings, the
// help, the labels of the text report and of the residual picture) is looked up in the text
// domain "zerb" through GNU gettext; what a program reads (CSV titles, JSON, the exports) never
// is. Under the C locale, and whenever no catalogue is found, the lookup gives back the English
// text it was handed, byte for byte: the tests and the README examples rely on that.
//
// A message with values is one whole pattern with numbered placeholders {1}, {2}, ... filled by
// Fill, so that a translation may put them in any order; sentences are never pasted together
// from translated pieces. xgettext finds the messages by the keywords Tr, TrN:1,2, NoTr and
// Counted:2,3 (scripts/check-catalogue).
#ifndef ZERB_TEXT_TRANSLATE_H
#define ZERB_TEXT_TRANSLATE_H

#include <libintl.h>

#include <array>
#include <concepts>
#include <string>
#include <string_view>

namespace zerb {

inline constexpr const char* kTextDomain = "zerb";

// The message in the language of the messages (LC_MESSAGES, LANGUAGE).
inline const char* Tr(const char* message) {
  return dgettext(kTextDomain, message);
}

// The singular or plural form of a message for the count n, in the language of the messages.
inline const char* TrN(const char* one, const char* many, unsigned long long n) {
  return dngettext(kTextDomain, one, many, static_cast<unsigned long>(n));
}

// Marks a message that is looked up later (by Tr on a variable), where a table keeps it.
inline constexpr const char* NoTr(const char* message) {
  return message;
}

// How a text that two kinds of output share is worded: Tr for what a person reads (messages,
// the text report), NoTr for the forms a program reads (CSV, JSON), which stay English whatever
// the locale, so that the same input gives the same file everywhere.
using Translate = const char* (*)(const char*);

namespace format_detail {
inline std::string Text(std::string_view s) {
  return std::string(s);
}
inline std::string Text(char c) {
  return std::string(1, c);
}
template <std::integral T>
requires(!std::same_as<T, char> && !std::same_as<T, bool>) std::string Text(T n) {
  return std::to_string(n);
}
// A number with a fraction would otherwise convert to char and fill in one byte of nonsense.
std::string Text(double) = delete;
std::string Text(float) = delete;
std::string FillIn(std::string_view pattern, const std::string* args, std::size_t count);
}  // namespace format_detail

// pattern with {1} replaced by the first argument, {2} by the second and so on; a placeholder
// without its argument stays as written. Arguments are texts or whole numbers; a number with a
// fraction is formatted by the caller, in the form the output has.
template <typename... Args>
std::string Fill(std::string_view pattern, const Args&... args) {
  const std::array<std::string, sizeof...(Args)> texts{format_detail::Text(args)...};
  return format_detail::FillIn(pattern, texts.data(), texts.size());
}

// Uses the language the environment asks for (setlocale(LC_ALL, "")) for messages, with the
// catalogues under locale_dir, or under $ZERB_LOCALEDIR when that is set (the tests use the
// build tree's). Numbers keep the C locale's form: the outputs are read by programs. Messages
// come as UTF-8 whatever the locale's character set, as every output of zerb-shift does.
void UseLanguageOfEnvironment(const char* locale_dir);

}  // namespace zerb

#endif  // ZERB_TEXT_TRANSLATE_H
