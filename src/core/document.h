// The open files of a session: each document is one IFO file with its buffers, its tree and its
// unsaved-change marker; the workspace counts the modified documents.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/angle_table.h"
#include "core/ifo_main.h"
#include "core/tree_node.h"

namespace navtab {

class UserInteraction;

struct IfoDocument {
    std::string path;  // as the user gave it; never case-converted
    IfoHandle ifo;
    bool modified = false;
    TreeNode root;
    AngleTable angles;  // filled by the title-set overview, read by the VOB tools
};

class Workspace {
  public:
    // Takes an opened handle into the workspace; its tree is left for the caller to fill.
    IfoDocument& add(std::string path, IfoHandle ifo);
    const std::vector<std::unique_ptr<IfoDocument>>& documents() const { return documents_; }

    // Sets the document's flag, counting it only when it was clear.
    void markModified(IfoDocument& doc);
    void clearModified(IfoDocument& doc);
    int modifiedCount() const { return modifiedCount_; }

    // While set, saving writes the .BUP copy without asking.
    bool noBackupQuestion = false;

  private:
    std::vector<std::unique_ptr<IfoDocument>> documents_;
    int modifiedCount_ = 0;
};

// Where a command that works on several files gets their documents: the window reuses a file that
// is already open (and shows a new one in its tree, without expanding it), the command line
// opens it.
class DocumentSource {
  public:
    virtual ~DocumentSource() = default;
    // The document of `path`, or null when it cannot be opened (the user has been told).
    virtual IfoDocument* documentFor(const std::string& path) = 0;
    // Reads the document's file anew, dropping what changed in memory, and shows it anew. False
    // when the file cannot be read (the user has been told; the document is left as it was).
    virtual bool reload(IfoDocument& doc) = 0;
};

// Opens an IFO or BUP file read-only and loads it. On failure the user is told why and the result
// is null.
IfoHandle openIfoFile(const std::string& path, UserInteraction& ui);

// The backup name of an IFO path: the extension .IFO, whatever its case, becomes .BUP in the same
// case style. Empty when the path has no .IFO extension.
std::string backupPathFor(const std::string& path);

// How a save ended. A failed save has written nothing: the IFO file and its .BUP copy are replaced
// together or not at all.
struct SaveResult {
    bool saved = false;
    std::string failedPath;      // the file that could not be written
    std::string reason;          // why, in a few words
    bool backupSkipped = false;  // the .BUP copy was wanted, but the IFO did not load as a whole
    explicit operator bool() const { return saved; }
};

// Writes the handle to `path` alone, as a save does. The user has been told of any failure.
SaveResult writeIfoFileAtomically(const std::string& path, ifo_t& ifo, UserInteraction& ui);

// Saves a document to `path` and, after asking (or always while noBackupQuestion is set), to its
// .BUP path. A file that did not load as a whole IFO file never overwrites its .BUP copy.
SaveResult SaveIfo(Workspace& workspace, IfoDocument& doc, const std::string& path,
                   UserInteraction& ui);

}  // namespace navtab
