#pragma once
// The records of an open cursor, in order, addressed by position. Kept in chunks of a few
// hundred with their sizes in a Fenwick tree, so a record posted anywhere costs O(log n) (and a
// short move within its chunk) instead of shifting everything after it; a walk by position
// stays O(1) a step through a cached chunk.

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/db/Internal.h"

namespace db::detail {

class RowSeq {
  public:
    using Ptr = std::unique_ptr<Row>;

    size_t size() const { return n_; }
    bool empty() const { return n_ == 0; }
    const Ptr& operator[](size_t i) const {
        const size_t k = locate(i);
        return chunks_[k][i - cacheStart_];
    }
    const Ptr& back() const { return chunks_.back().back(); }

    void clear() {
        // The first chunk's storage is kept for the next records: a small set read again and
        // again (a range moved pupil after pupil) allocates no chunk.
        if (!chunks_.empty() && spare_.capacity() == 0) {
            spare_ = std::move(chunks_.front());
            spare_.clear();
        }
        chunks_.clear();
        fen_.clear();
        n_ = 0;
        fenDirty_ = false;
        cacheChunk_ = npos;
    }
    // Empties the sequence, handing its records to out (to be used again).
    void takeAll(std::vector<Ptr>& out) {
        out.reserve(out.size() + n_);
        for (auto& c : chunks_)
            for (Ptr& r : c)
                if (r) out.push_back(std::move(r));
        clear();
    }
    // n places not read yet (null) after the records, filled through slot() as they are read.
    void appendHoles(size_t n) {
        for (size_t i = 0; i < n; i += kChunk) chunks_.emplace_back(std::min(kChunk, n - i));
        n_ += n;
        fenDirty_ = true;
        cacheChunk_ = npos;
    }
    Ptr& slot(size_t i) {
        const size_t k = locate(i);
        return chunks_[k][i - cacheStart_];
    }
    void push_back(Ptr r) {
        if (chunks_.empty() || chunks_.back().size() >= kChunk) {
            chunks_.emplace_back(std::move(spare_));
            spare_ = std::vector<Ptr>();
            chunks_.back().reserve(kChunk);
            fenDirty_ = true;
        } else if (!fenDirty_) {
            fenAdd(chunks_.size() - 1, 1);
        }
        chunks_.back().push_back(std::move(r));
        ++n_;
    }
    void insert(size_t idx, Ptr r) {
        if (idx >= n_) {
            push_back(std::move(r));
            return;
        }
        const size_t k = locate(idx);
        std::vector<Ptr>& c = chunks_[k];
        c.insert(c.begin() + std::ptrdiff_t(idx - cacheStart_), std::move(r));
        ++n_;
        if (c.size() > 2 * kChunk) {  // split: the tree is rebuilt on the next look-up
            std::vector<Ptr> tail(std::make_move_iterator(c.begin() + kChunk),
                                  std::make_move_iterator(c.end()));
            c.resize(kChunk);
            chunks_.insert(chunks_.begin() + std::ptrdiff_t(k) + 1, std::move(tail));
            fenDirty_ = true;
        } else if (!fenDirty_) {
            fenAdd(k, 1);
        }
        cacheChunk_ = npos;
    }
    void erase(size_t idx) {
        const size_t k = locate(idx);
        std::vector<Ptr>& c = chunks_[k];
        c.erase(c.begin() + std::ptrdiff_t(idx - cacheStart_));
        --n_;
        if (c.empty()) {
            chunks_.erase(chunks_.begin() + std::ptrdiff_t(k));
            fenDirty_ = true;
        } else if (!fenDirty_) {
            fenAdd(k, -1);
        }
        cacheChunk_ = npos;
    }

    // Position of the first record r for which before(r) is false; records must be ordered
    // so that before() holds for a prefix.
    template <class Before>
    size_t partitionPoint(Before before) const {
        size_t lo = 0, hi = chunks_.size();  // first chunk whose last record is not before
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (before(*chunks_[mid].back()))
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == chunks_.size()) return n_;
        const std::vector<Ptr>& c = chunks_[lo];
        size_t a = 0, b = c.size();
        while (a < b) {
            const size_t mid = (a + b) / 2;
            if (before(*c[mid]))
                a = mid + 1;
            else
                b = mid;
        }
        return startOf(lo) + a;
    }

    template <class F>
    void forEach(F f) const {
        for (const auto& c : chunks_)
            for (const Ptr& r : c) f(r.get());
    }

  private:
    static constexpr size_t kChunk = 512;
    static constexpr size_t npos = size_t(-1);

    void rebuild() const {
        const size_t m = chunks_.size();
        fen_.assign(m + 1, 0);
        for (size_t i = 0; i < m; ++i) {
            fen_[i + 1] += qint64(chunks_[i].size());
            const size_t j = (i + 1) + ((i + 1) & (~(i + 1) + 1));
            if (j <= m) fen_[j] += fen_[i + 1];
        }
        fenDirty_ = false;
    }
    void fenAdd(size_t k, qint64 d) const {
        for (size_t i = k + 1; i < fen_.size(); i += i & (~i + 1)) fen_[i] += d;
    }
    size_t startOf(size_t k) const {  // records before chunk k
        if (fenDirty_) rebuild();
        qint64 s = 0;
        for (size_t i = k; i > 0; i -= i & (~i + 1)) s += fen_[i];
        return size_t(s);
    }
    // Chunk holding position i; sets the cache to it.
    size_t locate(size_t i) const {
        if (cacheChunk_ != npos) {
            if (i >= cacheStart_ && i < cacheStart_ + chunks_[cacheChunk_].size())
                return cacheChunk_;
            const size_t next = cacheStart_ + chunks_[cacheChunk_].size();  // walks go forwards
            if (i >= next && cacheChunk_ + 1 < chunks_.size() &&
                i < next + chunks_[cacheChunk_ + 1].size()) {
                cacheStart_ = next;
                return ++cacheChunk_;
            }
        }
        if (fenDirty_) rebuild();
        const size_t m = chunks_.size();
        size_t pos = 0;
        qint64 rem = qint64(i);
        size_t step = 1;
        while (step * 2 <= m) step *= 2;
        for (; step; step /= 2) {
            if (pos + step <= m && fen_[pos + step] <= rem) {
                pos += step;
                rem -= fen_[pos];
            }
        }
        cacheChunk_ = pos;  // the chunk after the pos full ones
        cacheStart_ = i - size_t(rem);
        return pos;
    }

    std::vector<std::vector<Ptr>> chunks_;
    std::vector<Ptr> spare_;  // storage of a chunk, empty
    mutable std::vector<qint64> fen_;
    mutable bool fenDirty_ = false;
    size_t n_ = 0;
    mutable size_t cacheChunk_ = npos;
    mutable size_t cacheStart_ = 0;
};

}  // namespace db::detail
