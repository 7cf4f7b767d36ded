#pragma once

#include <QString>

// What a session command was, as its success and failure events report it.
enum class CommandKind {
    ChangeDir = 0,
    MakeDir = 1,
    Delete = 2,
    RemoveDir = 3,
    List = 4,
    Rename = 5,
    UploadRestore = 6,
    DownloadRestore = 7,
    Download = 8,
    Upload = 9,
    UploadAppend = 10,
    ReInit = 11,
    Allocate = 12,
    NList = 13,
    Other = 14,
    CurrentDir = 15,
};

// The status-bar text shown when a command of this kind fails; empty for PWD.
QString FailureText(CommandKind kind);
