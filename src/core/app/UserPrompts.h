#pragma once

#include "app/FontDescription.h"
#include "remote/PermissionBoxes.h"
#include "transfer/FileExists.h"

#include <QString>

#include <optional>

// Every question the program asks the user goes through here, so tests
// answer with scripts and the GUI with dialogs.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // An input box; nothing when cancelled.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                            const QString& defaultText) = 0;
    // A Yes/No confirmation; true for Yes.
    virtual bool confirm(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // File and folder pickers; empty when cancelled. Filters use Qt's form,
    // for example "Log File (*.log)". A save dialog appends defaultSuffix
    // (without its dot) to a name typed without one.
    virtual QString openFileName(const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& directory,
                                 const QString& filter, const QString& defaultSuffix = {}) = 0;
    virtual QString folder(const QString& caption, const QString& directory) = 0;
    // A font dialog starting at current; nothing when cancelled. The colour
    // is not asked: the answer keeps current's.
    virtual std::optional<FontDescription> chooseFont(const QString& caption,
                                                      const FontDescription& current) = 0;
    // A download's local file exists: overwrite, resume, rename or skip.
    virtual FileExistsChoice fileExists(const FileExistsQuestion& question) = 0;
    // The chmod dialog ("File Attributes") starting at initial; nothing when
    // cancelled.
    virtual std::optional<PermissionBoxes> chooseAttributes(const PermissionBoxes& initial) = 0;
};
