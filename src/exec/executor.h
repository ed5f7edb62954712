// Statement executor: runs one statement in the current pass, and the handlers it dispatches to.
// Every handler returns false with the reason left in the Assembler (see Assembler::fail).
#pragma once

#include "output/memory_image.h"
#include "source/statement_record.h"

namespace zendra {

class Assembler;

[[nodiscard]] bool executeStatement(Assembler& as, StatementRecord& st);

// Runs a list of statements (the program or a macro's copies) from position 0, following jumps
// within it. Returns when the list ends, the pass ends, or a jump leaves the list; false when
// a macro line could not be parsed after substitution (the call then fails).
[[nodiscard]] bool runStatementList(Assembler& as, StatementList& list,
                                    const StatementRecord* call);

// After a statement of `list` at `position` ran: follows a pending jump within the list.
// True when execution goes on in this list (position updated), false when the jump leaves it.
bool checkJumpTarget(Assembler& as, const StatementList& list, size_t& position);

// Handlers, by the part of the language they execute.
[[nodiscard]] bool conditionStep(Assembler& as, const StatementRecord& st);
[[nodiscard]] bool encodeInstruction(Assembler& as, StatementRecord& st);
[[nodiscard]] bool executeMacroDefinition(Assembler& as, StatementRecord& st);
[[nodiscard]] bool expandMacro(Assembler& as, StatementRecord& call);
[[nodiscard]] bool executeGoto(Assembler& as, StatementRecord& st);
[[nodiscard]] bool executeVar(Assembler& as, StatementRecord& st);
[[nodiscard]] bool emitDataList(Assembler& as, StatementRecord& st);
[[nodiscard]] bool emitRepeat(Assembler& as, StatementRecord& st);
[[nodiscard]] bool emitText(Assembler& as, StatementRecord& st);
[[nodiscard]] bool emitBounce(Assembler& as, StatementRecord& st);

// The one way a byte is produced: advances pc, tracks the range, stores in pass 2.
[[nodiscard]] bool emitByte(Assembler& as, int32_t value, ByteKind kind, StatementRecord& st);

}  // namespace zendra
