#include "cli/OwnerNote.h"

#include <algorithm>

#include "camera/OwnerName.h"
#include "kit/Latin1.h"

std::string OwnerNote(const std::string& typed) {
  const std::string sent = OwnerForCamera(typed.c_str());
  const std::string stored = kit::Latin1ToUtf8(sent);
  if (stored == typed) return std::string();
  const std::string whole = kit::Utf8ToLatin1(typed);
  // Every "?" the conversion added stands for a character the camera's code has not.
  const bool replaced =
      std::count(whole.begin(), whole.end(), '?') > std::count(typed.begin(), typed.end(), '?');
  const bool cut = whole.size() > sent.size();
  std::string note = "pictrove-cli: owner: ";
  if (replaced) note += "characters ISO 8859-1 has not were replaced by \"?\"";
  if (replaced && cut) note += ", and ";
  if (cut)
    note += "the name was cut to the " + std::to_string(sent.size()) + " bytes the camera holds";
  return note + "; stored as \"" + stored + "\"";
}
