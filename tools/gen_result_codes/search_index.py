"""The index that narrows a table lookup to a few entries.

The codes of a table are grouped by their high word (25 or so groups). A
group splits its low words into buckets of 2^shift consecutive values, with
the smallest shift that keeps the bucket count within twice the group's
entries; each bucket gives the range of the sorted code array that holds its
codes, and the lookup binary-searches that range. A high word finds its
group through two direct tables: its upper byte picks a page, its lower byte
the group within the page. Page 0 is all "no group".
"""

NO_GROUP = 0xFF
BUCKETS_PER_ENTRY = 2


class SearchIndex:
    def __init__(self, codes):
        assert codes == sorted(set(codes))
        self.high_page = [0] * 256
        self.high_group = [NO_GROUP] * 256  # page 0
        self.groups = []  # (high, shift, bucket count, first bucket)
        self.bucket_starts = []
        i = 0
        while i < len(codes):
            high = codes[i] >> 16
            j = i
            while j < len(codes) and codes[j] >> 16 == high:
                j += 1
            lows = [c & 0xFFFF for c in codes[i:j]]
            shift = next(s for s in range(17) if (lows[-1] >> s) + 1 <= BUCKETS_PER_ENTRY * len(lows))
            count = (lows[-1] >> shift) + 1
            first = len(self.bucket_starts)
            k = 0
            for bucket in range(count + 1):
                while k < len(lows) and lows[k] >> shift < bucket:
                    k += 1
                self.bucket_starts.append(i + k)
            # bucket_starts holds count + 1 values per group; the next group
            # starts after them.
            if self.high_page[high >> 8] == 0:
                self.high_page[high >> 8] = len(self.high_group) // 256
                self.high_group += [NO_GROUP] * 256
            self.high_group[self.high_page[high >> 8] * 256 + (high & 0xFF)] = len(self.groups)
            self.groups.append((high, shift, count, first))
            i = j
        assert len(self.groups) < NO_GROUP and len(self.high_group) // 256 <= 256
        assert len(codes) < 0x10000 and len(self.bucket_starts) < 0x10000

    def find(self, codes, code):
        """The lookup the C++ side does, for checking the index here."""
        high = code >> 16
        g = self.high_group[self.high_page[high >> 8] * 256 + (high & 0xFF)]
        if g == NO_GROUP:
            return None
        _, shift, count, first = self.groups[g]
        bucket = (code & 0xFFFF) >> shift
        if bucket >= count:
            return None
        start, end = self.bucket_starts[first + bucket], self.bucket_starts[first + bucket + 1]
        return start + codes[start:end].index(code) if code in codes[start:end] else None
