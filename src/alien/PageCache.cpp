#include "alien/PageCache.h"

#include <algorithm>
#include <cstring>

const TPageCache::Page& TPageCache::PageAt(std::uint64_t start, Page& scratch) {
    if (auto found = pages_.find(start); found != pages_.end()) return *found->second;
    Page& page =
        pages_.size() < MaxPages ? *pages_.emplace(start, std::make_unique<Page>()).first->second : scratch;
    page.bytes.resize(PageSize);
    page.bytes.resize(source_.read(start, page.bytes.data(), page.bytes.size()));
    return page;
}

std::size_t TPageCache::read(std::uint64_t offset, void* into, std::size_t size) {
    auto* to = static_cast<unsigned char*>(into);
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t at = offset + done;
        const std::uint64_t start = at - at % PageSize;
        Page scratch;
        const Page& page = PageAt(start, scratch);
        const auto in_page = static_cast<std::size_t>(at - start);
        if (in_page >= page.bytes.size()) break;
        const std::size_t count = std::min(size - done, page.bytes.size() - in_page);
        std::memcpy(to + done, page.bytes.data() + in_page, count);
        done += count;
        if (in_page + count < PageSize && done < size) break;  // the rest of the page is unreadable
    }
    return done;
}
