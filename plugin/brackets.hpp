// A slot's brackets: pairs of positions within the slot's own run of units, each
// pair the first unit of an oversampled range and the unit after it. Editing the
// rig block by block goes through a membership view (one flag per unit), so that
// a toggled, removed, inserted or moved block leaves whole, ascending pairs
// behind whatever the stored brackets looked like.
#pragma once
#include <cstdint>
#include <vector>

// [any] The pairs held inside a run of n units, as the chain reads them: each
// pair starts no earlier than the previous pair ended, empty pairs go, and an
// unpaired last entry is dropped.
void sanitiseBrackets(std::vector<int32_t>& brackets, int32_t n);

// [any] One flag per unit of the run: inside an oversampled range or not.
std::vector<bool> bracketMembers(std::vector<int32_t> brackets, int32_t n);
// [any] The fewest pairs that cover exactly the flagged units.
std::vector<int32_t> bracketsFromMembers(const std::vector<bool>& members);

// [any] Edits of a run of n units, each on unit r of the run (ignored when r is
// outside it). A removed unit takes its flag with it; an inserted unit (new r,
// the run grows to n + 1) is inside a range only when both its neighbours are;
// a moved unit keeps its flag.
void toggleBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r);
void removeBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r);
void insertBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t r);
void moveBracketMember(std::vector<int32_t>& brackets, int32_t n, int32_t from, int32_t to);
