// What the import child writes to its parent on its standard output, and how the parent reads it
// back:
//
//   "ZCHA" | items | u8 status | u32 line count | each line: u32 length, its bytes
//          | with a scene: u32 objects sent ahead | i32 current object | scene file bytes
//
// The items come before the status, each a tag byte and what it tags: an object sent ahead
// (kObjectAhead, u64 length, then the object's record as a scene file writes it), the scene as it
// will be without its objects (kSceneAhead, u64 length, then the scene file's bytes of it; once,
// before the first object), or the word that what was sent so far is not the scene's after all
// (kForgetAhead). A child sends objects ahead as soon as they are made, so that it need not hold
// a large model twice, once as objects and once as the answer's bytes; and the scene before them
// where it knows it, so that the program can start drawing them as they come. The status says
// whether a scene follows (Scene), or why none does: the library refused the file (Refused, the
// first line is its reason) or the child ran out of memory (OutOfMemory); the objects sent ahead
// are then nobody's. The export child answers Written, with what the format left out as its lines
// and nothing after. With a scene, the lines are the conversion report; the count of objects sent
// ahead must be those still standing, which are the scene's first objects; the current object
// counts them too; and the rest of the scene follows as the bytes of a scene file, extension block
// and all, up to the end of the stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/OutputStream.h"
#include "scene/ReadBudget.h"
#include "scene/Scene.h"

enum class ChildStatus : uint8_t { Scene = 0, Refused = 1, OutOfMemory = 2, Written = 3 };

// What the conversion dropped or cut, one finished sentence per line ("3 lines dropped").
struct ConversionReport {
    std::vector<std::string> lines;
    // How far short of its full sandbox the child ran, where it did ("" when it ran in all of
    // it): a line of its answer that starts with kSandboxNotePrefix, kept apart from the lines.
    std::string sandbox;
};

constexpr const char* kSandboxNotePrefix = "sandbox: ";

constexpr uint8_t kObjectAhead = 0x80;
constexpr uint8_t kForgetAhead = 0x81;
constexpr uint8_t kSceneAhead = 0x82;

// An answer written as the child goes.
class AnswerWriter {
public:
    explicit AnswerWriter(OutputStream& out) : m_out(out) {}

    // Sends object ahead when it is the scene's next object and needs nothing of the extension
    // block, and then leaves only its name, material and bounds in the scene: true when sent.
    // The stream is flushed, so the parent may read the object at once.
    bool SendAhead(SceneObject& object);
    // Sends scene as it will be once its objects are in, without them (its bounds those of all
    // its objects, and the lights, cameras and materials it will end with): once, before the
    // first object goes ahead; false, sending nothing, after that.
    bool AnnounceScene(const Scene& scene);
    // What was sent ahead is not the scene's after all (its reader gave up).
    void Forget();
    size_t SentAhead() const { return m_sent; }

    // Ends the answer and flushes it. With a scene, rest is the scene without the objects sent
    // ahead, and currentObject is the whole scene's.
    void Finish(ChildStatus status, const std::vector<std::string>& lines, const Scene* rest,
                int32_t currentObject);

private:
    void Begin();
    // Sends m_record tagged, its length first.
    void SendRecord(uint8_t tag);

    OutputStream& m_out;
    bool m_begun = false, m_announced = false;
    size_t m_sent = 0;
    std::vector<uint8_t> m_record;  // an item's bytes before they go
};

void WriteChildAnswer(OutputStream& out, ChildStatus status, const std::vector<std::string>& lines,
                      const Scene* scene);

// The answer of this process, on its standard output.
AnswerWriter& ChildAnswerWriter();

// Ends the answer on standard output and ends the process at once: a child has nothing left
// worth tidying up, and freeing a large scene would only keep the parent waiting. The scene's
// first objects, those sent ahead, are taken out of it.
[[noreturn]] void AnswerAndExit(ChildStatus status, const std::vector<std::string>& lines,
                                Scene* scene);

enum class ChildAnswerResult { Scene, Refused, OutOfMemory, Written, Garbage };

// Reads an answer from bytes in memory into a fresh scene. Anything that is not a whole answer
// (a cut, an unknown status, a scene file that does not read whole with its extension block) is
// Garbage; the scene is then left as it was, new. lines gets the answer's lines.
ChildAnswerResult ReadChildAnswer(const uint8_t* data, size_t size, Scene& scene,
                                  std::vector<std::string>& lines);

// The same as the answer comes: the objects sent ahead are read while the child still writes,
// the rest once it has ended. No answer of more than answerLimit bytes is taken, and the memory
// of what is read is budgeted as for a file of that size.
class ChildAnswerReader {
public:
    explicit ChildAnswerReader(uint64_t answerLimit);

    // What has come ahead is read into coming, a new scene, instead of into the reader's own,
    // so that it can be shown as it comes: the scene the child announced, all but its objects,
    // and then the objects sent ahead, in their order. Call before the first ReadAhead; whoever
    // shows coming may change it, but not its list of objects. What the child takes back empties
    // it again.
    void ReadInto(Scene& coming) { m_coming = &coming; }
    // Whether the scene coming holds the scene the child announced.
    bool Announced() const { return m_announced; }

    // Reads the whole items, not read before, among the first size bytes the child has written,
    // and returns how many bytes it has read. The child may still change them: each byte is
    // read once.
    size_t ReadAhead(const uint8_t* data, size_t size);
    // Reads the rest of the whole answer of size bytes, as ReadChildAnswer does; throws
    // std::bad_alloc when the memory ran out, here or while reading ahead. scene may be the one
    // read into, which then holds the whole scene or, when the answer has none, nothing.
    ChildAnswerResult Finish(const uint8_t* data, size_t size, Scene& scene,
                             std::vector<std::string>& lines);

private:
    enum class Step { Status, Short, Damaged };
    // Reads the items from where the last call stopped: up to the status, or to a record not
    // all there or damaged.
    Step ReadItems(const uint8_t* data, size_t size);
    ChildAnswerResult FinishInto(const uint8_t* data, size_t size, Scene& scene,
                                 std::vector<std::string>& lines);
    // What came ahead is taken back: the scene read into is new again.
    void DropAhead();

    ReadBudget m_budget;
    size_t m_pos = 0;
    bool m_begun = false, m_damaged = false, m_outOfMemory = false, m_announced = false;
    Scene m_own;
    Scene* m_coming = &m_own;
};
