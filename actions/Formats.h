#pragma once
// The two formats Qarvel compresses to, and everything that differs between them: their tool,
// its output, the texts that name them and what each tool needs and may leave behind.

#include "actions/HostServices.h"
#include "CommandLines.h"
#include "Texts.h"

#include <optional>

namespace qarvel {

struct Format {
    std::wstring (*composeCommand)(const std::wstring &inputPath,
                                   const std::wstring &programDirectory);
    const wchar_t *tool;       // as the command line names it: "chdman"
    const wchar_t *toolProbe;  // its file beside Qarvel.exe, after the folder: "\chdman.exe"
    const wchar_t *outputName; // "NEW.CHD", in the program folder
    const wchar_t *confirmEnd; // " with CHD?"
    const wchar_t *report;     // "NEW.CHD created!"
    const wchar_t *notFound;   // told when the interpreter finds no tool by that name
    bool copiesCommand;        // only the ZSO line goes on the clipboard
    bool takesCueSheet;        // a ZSO is made from the image itself, never from a track list
    bool leavesPartOnFailure;  // chdman may leave part of its output; ziso.py never does
    const wchar_t *scriptType; // ziso.py runs through the program that opens ".py" files
    // The exit code by which the tool says a package it needs is missing, and what is told.
    std::optional<ExitCode> missingPackageCode;
    const wchar_t *missingPackage;
};

inline const Format Chd{.composeCommand = ChdCommand,
                        .tool = texts::ChdTool,
                        .toolProbe = texts::ChdToolProbe,
                        .outputName = texts::ChdOutputName,
                        .confirmEnd = texts::ConfirmChdEnd,
                        .report = texts::ChdReport,
                        .notFound = texts::report::ChdmanNotFound,
                        .copiesCommand = false,
                        .takesCueSheet = true,
                        .leavesPartOnFailure = true,
                        .scriptType = nullptr,
                        .missingPackageCode = std::nullopt,
                        .missingPackage = nullptr};

inline const Format Zso{.composeCommand = ZsoCommand,
                        .tool = texts::ZsoTool,
                        .toolProbe = texts::ZsoToolProbe,
                        .outputName = texts::ZsoOutputName,
                        .confirmEnd = texts::ConfirmZsoEnd,
                        .report = texts::ZsoReport,
                        .notFound = texts::report::ZisoNotFound,
                        .copiesCommand = true,
                        .takesCueSheet = false,
                        .leavesPartOnFailure = false,
                        .scriptType = texts::PythonScriptType,
                        .missingPackageCode = texts::ZisoMissingLz4Code,
                        .missingPackage = texts::report::MissingLz4};

} // namespace qarvel
