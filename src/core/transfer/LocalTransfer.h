#pragma once

#include "app/SideState.h"

#include <QString>

#include <optional>

class App;
class Side;

// One file between a side's server and the local disk: the download with
// its file-exists handling and resume, the upload, and the two pane
// commands that use them directly ("Local &Upload", "&View File").
class LocalTransfer {
public:
    enum class Outcome {
        Done,    // the server confirmed it and what arrived is whole
        Skipped, // the local file exists and is kept, or the site moves nothing
        Failed,  // refused or incomplete; the session is still there
        Stopped, // the session was lost or the user aborted
    };
    struct Result {
        Outcome outcome = Outcome::Done;
        QString message;   // why it failed or was skipped
        QString localPath; // where a download went (a rename changes it)
    };

    explicit LocalTransfer(App& app) : m_app(app) {}

    // remoteSizeText: the listed size; the file-exists question shows it and
    // the progress line counts towards it when the server announces none.
    Result LocalDownload(SideId side, const QString& remotePath, bool noAsk,
                         const QString& localPath, const QString& remoteSizeText = {});
    Result LocalUpload(SideId side, const QString& localPath, const QString& remotePath);

    // "Local &Upload": a file the user picks goes to the side's current
    // directory under its own name.
    void UploadFile(SideId side);
    // "&View File": the selected file is fetched into the download folder
    // (or the temporary folder) and opened.
    void ViewFile(SideId side);

    // The side's data connection: 1 active, 2 passive, 3 as "Alt List" says;
    // nothing for any other mode.
    static std::optional<bool> PassiveFor(int listMode, bool altList);

private:
    // Runs the session's transfer and turns its exceptions into a result.
    template <typename Transfer>
    Result run(Side& side, Transfer&& transfer);

    App& m_app;
};
