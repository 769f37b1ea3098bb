#include "smd/smd_reference.h"

#include <optional>

#include "smd/smd_load_command.h"
#include "smd/smd_triangles.h"

namespace toravel {

bool ReadSmdReference(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
                      UserInteraction* ui, StatusLog* log) {
    if (!ReadSmdSections(input, tokenizer, nodes, SkeletonMode::kReference, ui, log)) {
        return false;
    }
    if (log != nullptr) {
        log->AddStatusLine("Reading the mesh..");
    }
    return ReadTriangles(input, tokenizer, nodes, ui);
}

bool LoadSmdReference(SmdReference& doc, LineTokenizer& tokenizer, UserInteraction& ui,
                      StatusLog& log) {
    const std::optional<FileChoice> file = AskSmdFileName(ui, log);
    return file && LoadSmdReferenceFile(doc, *file, tokenizer, ui, log);
}

bool LoadSmdReferenceFile(SmdReference& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log) {
    return RunSmdLoad(doc.loaded, file, "SMD reference", "Discard SMD Reference Info", ui, log,
                      [&](TextInput& input) {
                          doc.Reset();
                          if (!ReadSmdReference(input, tokenizer, doc.nodes, &ui, &log)) {
                              return false;
                          }
                          doc.loaded = true;
                          doc.fileName = file.fileName;
                          doc.filePath = file.path;
                          return true;
                      });
}

}  // namespace toravel
