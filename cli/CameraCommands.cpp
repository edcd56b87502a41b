// The commands that read the camera or change it in place. Each change is checked in the
// list afterwards, which the application keeps to what the camera says.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "app/ptv_App.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/OwnerNote.h"
#include "cli/Pictures.h"

namespace {

void Fail(CommandContext& context, const std::string& text) {
  context.progress.Say("pictrove-cli: " + text, context.errors);
}

// The attributes window's two choices for each mark.
std::pair<char, char> Choices(const std::string& mark) {
  if (mark == "downloaded") return {kSet, kIgnore};
  if (mark == "new") return {kUnset, kIgnore};
  if (mark == "protected") return {kIgnore, kSet};
  return {kIgnore, kUnset};
}

}  // namespace

CameraFacts ReadFacts(CommandContext& context) {
  context.session.Run([&] { context.session.App().opencamerainfo(); });
  return context.windows.Facts();
}

std::vector<Picture> ChosenPictures(CommandContext& context, int* failed,
                                    std::vector<CompanionName>* by_companion) {
  std::vector<Picture> pictures = ReadPictures(context.windows.List());
  if (context.options.operands.empty()) return pictures;
  std::vector<std::string> unknown;
  std::vector<Picture> named = Named(pictures, context.options.operands, &unknown, by_companion);
  for (const std::string& name : unknown) {
    Fail(context, name + ": no such picture on the camera");
    (*failed)++;
  }
  return named;
}

int ListPictures(CommandContext& context) {
  std::vector<Picture> pictures =
      Kept(ReadPictures(context.windows.List()), context.options.only_new, context.options.kinds);
  std::string text = context.options.json ? PicturesJson(pictures) : PicturesText(pictures);
  fputs(text.c_str(), context.out);
  return 0;
}

// Whether the run reported the picture done.
bool Done(const std::vector<std::pair<PictureId, bool>>& results, PictureId id) {
  for (const auto& [picture, done] : results)
    if (picture == id) return done;
  return false;
}

int MarkPictures(CommandContext& context) {
  int failed = 0;
  std::vector<Picture> pictures = ChosenPictures(context, &failed);
  // Plain names: a lambda may not capture a structured binding before C++20's clang 16.
  const auto choice = Choices(context.options.mark);
  const char downloaded = choice.first;
  const char protect = choice.second;
  std::vector<std::pair<PictureId, bool>> taken;
  context.session.Run([&] {
    SelectOnly(context.windows.List(), pictures);
    taken = context.session.App().Setattr_Selected(downloaded, protect);
  });
  for (const Picture& picture : pictures) {
    if (Done(taken, picture.id)) {
      fprintf(context.out, "%s: %s\n", picture.name.c_str(), context.options.mark.c_str());
    } else {
      Fail(context, picture.name + ": not marked " + context.options.mark);
      failed++;
    }
  }
  return failed == 0 ? 0 : 1;
}

int DeletePictures(CommandContext& context) {
  int failed = 0;
  std::vector<Picture> deletable;
  // A deleted row takes its companions with it: a companion's name alone is not taken for
  // the picture or movie it goes with, which the user did not name.
  std::vector<CompanionName> by_companion;
  std::vector<Picture> chosen = ChosenPictures(context, &failed, &by_companion);
  for (const auto& [name, row] : by_companion) {
    Fail(context, name + " goes with " + row + ": not deleted; name " + row + " to delete both");
    failed++;
  }
  for (const Picture& picture : chosen) {
    if (picture.Protected()) {
      Fail(context, picture.name + " is protected: not deleted");
      failed++;
    } else {
      deletable.push_back(picture);
    }
  }
  std::vector<std::pair<PictureId, bool>> gone;
  context.session.Run([&] {
    SelectOnly(context.windows.List(), deletable);
    gone = context.session.App().DeleteSelected();
  });
  for (const Picture& picture : deletable) {
    if (Done(gone, picture.id)) {
      fprintf(context.out, "%s: deleted\n", picture.name.c_str());
    } else {
      Fail(context, picture.name + ": not deleted");
      failed++;
    }
  }
  return failed == 0 ? 0 : 1;
}

int ShowInfo(CommandContext& context) {
  CameraFacts facts = ReadFacts(context);
  fputs((context.options.json ? FactsJson(facts) : FactsText(facts)).c_str(), context.out);
  return 0;
}

int SetOwner(CommandContext& context) {
  const std::string& name = context.options.operands[0];
  if (std::string note = OwnerNote(name); !note.empty()) context.progress.Say(note, context.errors);
  bool taken = false;
  context.session.Run([&] { taken = context.session.App().setownername(name.c_str()); });
  if (!taken) {
    Fail(context, "the camera did not take the owner name");
    return 1;
  }
  // What the camera holds, as it can hold only so much of a name.
  CameraFacts facts = ReadFacts(context);
  fprintf(context.out, "owner: %s\n", facts.ownername);
  return 0;
}

int UploadFile(CommandContext& context) {
  char resolved[PATH_MAX];
  const std::string& file = context.options.operands[0];
  if (realpath(file.c_str(), resolved) == nullptr) {
    Fail(context, file + ": " + strerror(errno));
    return 1;
  }
  bool sent = false;
  context.session.Run([&] { sent = context.session.App().Upload(resolved); });
  context.progress.End();
  if (!sent) {
    Fail(context, file + ": not uploaded");
    return 1;
  }
  fprintf(context.out, "%s: uploaded\n", file.c_str());
  return 0;
}
