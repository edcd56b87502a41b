// The commands, each on a started session: the exit status (0, or 1 when something failed,
// each failure said on `errors`).
#pragma once

#include <cstdio>

#include "cli/CliAlerts.h"
#include "cli/CliSession.h"
#include "cli/CliWindows.h"
#include "cli/Options.h"
#include "cli/Pictures.h"
#include "cli/Progress.h"

struct CommandContext {
  const CliOptions& options;
  CliSession& session;
  CliWindows& windows;
  Progress& progress;
  CliAlerts& alerts;
  FILE* out;
  FILE* errors;
};

int ListPictures(CommandContext& context);
int GetPictures(CommandContext& context);
int MarkPictures(CommandContext& context);
int DeletePictures(CommandContext& context);
int ShowInfo(CommandContext& context);
int SetOwner(CommandContext& context);
int UploadFile(CommandContext& context);
int ShowClock(CommandContext& context);

// The camera's facts, read afresh as the information window reads them.
CameraFacts ReadFacts(CommandContext& context);

// The pictures the command's names give (all of them without names); each unknown name is
// said and counted in `failed`. With `by_companion`, as Named takes it.
std::vector<Picture> ChosenPictures(CommandContext& context, int* failed,
                                    std::vector<CompanionName>* by_companion = nullptr);
