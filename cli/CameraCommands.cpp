// The commands that read the camera or change it in place. Each change is checked in the
// list afterwards, which the application keeps to what the camera says.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "app/ptv_App.h"
#include "camera/OwnerName.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "cli/Pictures.h"

namespace {

void Fail(CommandContext& context, const std::string& text) {
  context.progress.Say("pictrove-cli: " + text, context.errors);
}

const Picture* Find(const std::vector<Picture>& pictures, PictureId id) {
  for (const Picture& picture : pictures)
    if (picture.id == id) return &picture;
  return nullptr;
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

std::vector<Picture> ChosenPictures(CommandContext& context, int* failed) {
  std::vector<Picture> pictures = ReadPictures(context.windows.List());
  if (context.options.operands.empty()) return pictures;
  std::vector<std::string> unknown;
  std::vector<Picture> named = Named(pictures, context.options.operands, &unknown);
  for (const std::string& name : unknown) {
    Fail(context, name + ": no such picture on the camera");
    (*failed)++;
  }
  return named;
}

int ListPictures(CommandContext& context) {
  std::vector<Picture> pictures = ReadPictures(context.windows.List());
  if (context.options.only_new) pictures = NewOnly(pictures);
  std::string text = context.options.json ? PicturesJson(pictures) : PicturesText(pictures);
  fputs(text.c_str(), context.out);
  return 0;
}

int MarkPictures(CommandContext& context) {
  int failed = 0;
  std::vector<Picture> pictures = ChosenPictures(context, &failed);
  // Plain names: a lambda may not capture a structured binding before C++20's clang 16.
  const auto choice = Choices(context.options.mark);
  const char downloaded = choice.first;
  const char protect = choice.second;
  context.session.Run([&] {
    SelectOnly(context.windows.List(), pictures);
    context.session.App().Setattr_Selected(downloaded, protect);
  });
  std::vector<Picture> after = ReadPictures(context.windows.List());
  for (const Picture& picture : pictures) {
    const Picture* now = Find(after, picture.id);
    if (now != nullptr &&
        now->attributes == ptv_App::AttributesFor(picture.attributes, downloaded, protect)) {
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
  for (const Picture& picture : ChosenPictures(context, &failed)) {
    if (picture.Protected()) {
      Fail(context, picture.name + " is protected: not deleted");
      failed++;
    } else {
      deletable.push_back(picture);
    }
  }
  context.session.Run([&] {
    SelectOnly(context.windows.List(), deletable);
    context.session.App().DeleteSelected();
  });
  std::vector<Picture> after = ReadPictures(context.windows.List());
  for (const Picture& picture : deletable) {
    if (Find(after, picture.id) == nullptr) {
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
  context.session.Run([&] { context.session.App().setownername(name.c_str()); });
  // Read back: what the camera holds is what counts, as it can hold only so much of a name.
  CameraFacts facts = ReadFacts(context);
  unsigned char field[kOwnerField + 1] = {};
  std::string sent = OwnerForCamera(name.c_str());
  memcpy(field, sent.data(), std::min(sent.size(), kOwnerField));
  fprintf(context.out, "owner: %s\n", facts.ownername);
  if (OwnerFromCamera(field) == facts.ownername) return 0;
  Fail(context, "the camera did not take the owner name");
  return 1;
}

int UploadFile(CommandContext& context) {
  char resolved[PATH_MAX];
  const std::string& file = context.options.operands[0];
  if (realpath(file.c_str(), resolved) == nullptr) {
    Fail(context, file + ": " + strerror(errno));
    return 1;
  }
  int before = context.alerts.Count();
  context.session.Run([&] { context.session.App().Upload(resolved); });
  context.progress.End();
  if (context.alerts.Count() != before) return 1;
  fprintf(context.out, "%s: uploaded\n", file.c_str());
  return 0;
}
