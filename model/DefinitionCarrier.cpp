#include "DefinitionCarrier.h"

#include "CalEntry.h"
#include "Calibration.h"
#include "CodeReferences.h"
#include "CrossIdentifier.h"
#include "EntryReading.h"
#include "TextRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <sstream>

namespace tevra {

namespace {

using Evidence = DefinitionCarrier::Evidence;

// Below this a pair is not taken at all.
constexpr float kThreshold = 0.7f;
// Code this alike counts as the same reference.
constexpr float kSiteMatch = 0.65f;
// A match out of the data area's order is kept only on code this alike, with an
// unchanged shape and values this close.
constexpr float kSure = 0.9f;

bool isTableType(EntryType t) {
    return isTable2D(t) || t == EntryType::Table3D;
}

constexpr std::size_t kCarriableTypes = static_cast<std::size_t>(EntryType::Unknown);

bool carriable(EntryType t) {
    const int v = static_cast<int>(t);
    return v >= 0 && v < static_cast<int>(EntryType::Unknown);
}

// How much of the lender's code around an entry's references is found around the
// candidate's.
void codeLikeness(const CodeReferences& theirs, const std::vector<int>& theirSites,
                  const CodeReferences& mine, const std::vector<int>& mySites, Evidence& ev) {
    ev.sites = static_cast<int>(theirSites.size());
    if (theirSites.empty() || mySites.empty())
        return;
    float sum = 0;
    for (int t : theirSites) {
        float best = 0;
        for (int m : mySites)
            best =
                std::max(best, CodeReferences::likeness(theirs.sites()[static_cast<std::size_t>(t)],
                                                        mine.sites()[static_cast<std::size_t>(m)]));
        sum += best;
        if (best >= kSiteMatch)
            ++ev.sitesMatched;
    }
    ev.code = sum / static_cast<float>(theirSites.size());
}

float weigh(EntryType type, const Evidence& ev) {
    if (ev.sites == 0) // no code to go by: the same place, as alike as it looks
        return 0.5f * ev.shape + 0.2f * ev.axis + 0.3f * ev.values;
    if (isTableType(type))
        return 0.5f * ev.code + 0.2f * ev.shape + 0.1f * ev.axis + 0.2f * ev.values;
    return 0.7f * ev.code + 0.3f * ev.values;
}

struct Candidate {
    float score;
    int lender; // index into the lender list
    std::int32_t address;
    Evidence evidence;
};

// Indices of the matches (sorted by lender address) that form the heaviest chain
// rising in self's address too.
std::vector<bool> inOrder(const std::vector<const Candidate*>& byLender) {
    const std::size_t n = byLender.size();
    std::vector<double> best(n);
    std::vector<int> previous(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        best[i] = byLender[i]->score;
        for (std::size_t j = 0; j < i; ++j)
            if (byLender[j]->address < byLender[i]->address &&
                best[j] + byLender[i]->score > best[i]) {
                best[i] = best[j] + byLender[i]->score;
                previous[i] = static_cast<int>(j);
            }
    }
    std::vector<bool> chain(n);
    if (n == 0)
        return chain;
    int at = static_cast<int>(std::max_element(best.begin(), best.end()) - best.begin());
    for (; at >= 0; at = previous[static_cast<std::size_t>(at)])
        chain[static_cast<std::size_t>(at)] = true;
    return chain;
}

std::string hex(std::int64_t a) {
    return text::formatHex(static_cast<std::uint32_t>(a), 4);
}

std::string fixed2(float v) {
    return text::formatFixed(v, 2);
}

} // namespace

DefinitionCarrier::Result DefinitionCarrier::match(Calibration& self, Calibration& lender) {
    Result result;
    if (!self.hasImage() || !lender.hasImage())
        return result;
    const CodeReferences mine(self.image(), self.baseAddress);
    const CodeReferences theirs(lender.image(), lender.baseAddress);
    const bool sameLayout =
        self.baseAddress == lender.baseAddress && self.imageLength() == lender.imageLength();

    // The places self's code refers to, each with its references of the kind
    // that fits (LDX # for tables, extended reads for the rest) and what its bytes
    // look like as each type, read once when first asked.
    struct Spot {
        std::int32_t address;
        std::vector<int> sites;
        std::array<EntryReading, kCarriableTypes> readings;
        std::array<bool, kCarriableTypes> read{};
    };
    auto spotsOf = [&](const std::vector<std::int32_t>& targets, bool index) {
        std::vector<Spot> spots;
        for (std::int32_t a : targets) {
            Spot spot{a, {}, {}, {}};
            for (int s : mine.sitesOf(a))
                if (mine.sites()[static_cast<std::size_t>(s)].loadsIndex == index)
                    spot.sites.push_back(s);
            spots.push_back(std::move(spot));
        }
        return spots;
    };
    std::vector<Spot> tableSpots = spotsOf(mine.indexTargets(), true);
    std::vector<Spot> constantSpots = spotsOf(mine.extendedTargets(), false);
    auto readAt = [&](Spot& spot, EntryType type) -> const EntryReading& {
        const auto t = static_cast<std::size_t>(type);
        if (!spot.read[t]) {
            CalEntry probe(&self);
            probe.type = type;
            probe.Relocate(spot.address);
            spot.readings[t] = EntryReading::of(probe);
            spot.read[t] = true;
        }
        return spot.readings[t];
    };

    struct Lent {
        int slot;
        const CalEntry* entry;
        EntryReading reading;
        std::vector<int> sites;
    };
    std::vector<Lent> lent;
    for (int j = 0; j < lender.entryCount(); ++j) {
        const CalEntry* e = lender.EntryAt(j);
        if (!e)
            continue;
        if (!carriable(e->type)) {
            result.missed.push_back({j, "no layout to recognise it by"});
            continue;
        }
        EntryReading r = EntryReading::of(*e);
        if (!r.plausible) {
            result.missed.push_back({j, "its own bytes do not hold such an entry"});
            continue;
        }
        std::vector<int> sites;
        for (int s : theirs.sitesOf(e->address))
            if (theirs.sites()[static_cast<std::size_t>(s)].loadsIndex == isTableType(e->type))
                sites.push_back(s);
        lent.push_back({j, e, std::move(r), std::move(sites)});
    }

    std::vector<Candidate> candidates;
    std::vector<float> bestRejected(lent.size(), 0.0f);
    std::vector<float> bestCode(lent.size(), 0.0f);
    for (std::size_t li = 0; li < lent.size(); ++li) {
        const Lent& l = lent[li];
        const EntryType type = l.entry->type;
        auto consider = [&](Spot& spot) {
            // The code first: it is the cheapest test and the one that decides most.
            Evidence ev;
            codeLikeness(theirs, l.sites, mine, spot.sites, ev);
            bestCode[li] = std::max(bestCode[li], ev.code);
            if (ev.sites > 0 && ev.sitesMatched == 0)
                return;
            const EntryReading& r = readAt(spot, type);
            if (!r.plausible)
                return;
            const EntryReading::Likeness c = EntryReading::likeness(type, r, l.reading);
            ev.shape = c.shape;
            ev.axis = c.axis;
            ev.values = c.values;
            ev.sameAddress = sameLayout && spot.address == l.entry->address;
            const float score = weigh(type, ev);
            if (score > kThreshold)
                candidates.push_back({score, static_cast<int>(li), spot.address, ev});
            else
                bestRejected[li] = std::max(bestRejected[li], score);
        };
        if (l.sites.empty()) {
            if (sameLayout) {
                Spot same{l.entry->address, {}, {}, {}};
                consider(same);
            }
            continue;
        }
        for (Spot& spot : isTableType(type) ? tableSpots : constantSpots)
            consider(spot);
    }

    // Best first, each lender entry and each address once.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.lender != b.lender)
            return a.lender < b.lender;
        return a.address < b.address;
    });
    std::vector<bool> lenderTaken(lent.size());
    std::map<std::int32_t, bool> addressTaken;
    std::vector<const Candidate*> taken;
    for (const Candidate& c : candidates) {
        if (lenderTaken[static_cast<std::size_t>(c.lender)] || addressTaken[c.address])
            continue;
        lenderTaken[static_cast<std::size_t>(c.lender)] = true;
        addressTaken[c.address] = true;
        taken.push_back(&c);
    }

    // The data area keeps its order across builds: a match against that order
    // stands only on sure code and an unchanged shape.
    std::sort(taken.begin(), taken.end(), [&](const Candidate* a, const Candidate* b) {
        return lent[static_cast<std::size_t>(a->lender)].entry->address <
               lent[static_cast<std::size_t>(b->lender)].entry->address;
    });
    const std::vector<bool> chain = inOrder(taken);
    std::vector<const Candidate*> kept(lent.size(), nullptr);
    std::vector<const Candidate*> outOfOrder(lent.size(), nullptr);
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const Candidate* c = taken[i];
        const Evidence& ev = c->evidence;
        if (!chain[i] && !(ev.code >= kSure && ev.shape >= 1.0f && ev.values >= kSure)) {
            outOfOrder[static_cast<std::size_t>(c->lender)] = c;
            continue;
        }
        kept[static_cast<std::size_t>(c->lender)] = c;
    }
    for (std::size_t li = 0; li < lent.size(); ++li) {
        const Lent& l = lent[li];
        if (const Candidate* c = kept[li]) {
            Carried carried{l.slot, c->address, c->score, c->evidence};
            carried.evidence.inOrder = true;
            for (std::size_t i = 0; i < taken.size(); ++i)
                if (taken[i] == c)
                    carried.evidence.inOrder = chain[i];
            result.carried.push_back(carried);
            continue;
        }
        std::string why;
        if (l.sites.empty())
            why = sameLayout
                      ? "the lender's code does not refer to it, and its address here does not "
                        "hold it"
                      : "the lender's code does not refer to it";
        else if (const Candidate* c = outOfOrder[li])
            why = hex(c->address) + " (score " + fixed2(c->score) +
                  ") breaks the order of the data area, and its code, shape or values are not sure "
                  "enough";
        else if (bestRejected[li] > 0)
            why = "no place alike enough (best score " + fixed2(bestRejected[li]) + ")";
        else if (bestCode[li] < kSiteMatch)
            why = "no code here is like the code around its references (best " +
                  fixed2(bestCode[li]) + ")";
        else
            why = "no place here holds such an entry";
        result.missed.push_back({l.slot, why});
    }
    std::sort(result.missed.begin(), result.missed.end(),
              [](const Missed& a, const Missed& b) { return a.lenderSlot < b.lenderSlot; });
    return result;
}

DefinitionCarrier::Result DefinitionCarrier::carry(Calibration& self, Calibration& lender) {
    Result r = match(self, lender);
    bool changed = false;
    for (const Carried& c : r.carried) {
        CalEntry* mine = self.FindByAddress(c.address, nullptr);
        if (!mine) {
            mine = self.NewEntry();
            if (!mine)
                break;
            mine->Relocate(c.address);
        }
        CrossIdentifier::copyDefinition(*lender.EntryAt(c.lenderSlot), *mine);
        changed = true;
    }
    if (changed)
        self.SetDefinitionsModified(true);
    return r;
}

std::string DefinitionCarrier::report(const Result& r, const Calibration& lender) {
    std::ostringstream out;
    for (const Carried& c : r.carried) {
        const CalEntry& e = *lender.EntryAt(c.lenderSlot);
        const Evidence& ev = c.evidence;
        out << hex(c.address) << " <- " << hex(e.address) << " " << e.name << ": score "
            << fixed2(c.score);
        if (ev.sites > 0)
            out << ", code " << fixed2(ev.code) << " (" << ev.sitesMatched << " of " << ev.sites
                << (ev.sites == 1 ? " reference" : " references") << ")";
        else
            out << ", same address, no code reference";
        out << ", shape " << fixed2(ev.shape) << ", axis " << fixed2(ev.axis) << ", values "
            << fixed2(ev.values) << (ev.inOrder ? ", in order" : ", out of order") << "\n";
    }
    for (const Missed& m : r.missed) {
        const CalEntry& e = *lender.EntryAt(m.lenderSlot);
        out << "---- <- " << hex(e.address) << " " << e.name << ": not carried, " << m.reason
            << "\n";
    }
    return out.str();
}

} // namespace tevra
