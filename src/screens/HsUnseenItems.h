#pragma once

#include <algorithm>
#include <cstddef>
#include <set>
#include <type_traits>
#include <vector>

// The items of a further `page` that the list does not show yet, in page order, each told by
// `key`, an id of its own: a list may have moved on the server between two pages, so a page can
// repeat rows.
template <class Item, class Key>
std::vector<Item> hsUnseenItems(const std::vector<Item> &shown, const std::vector<Item> &page, Key key)
{
    std::set<std::decay_t<std::invoke_result_t<Key, const Item &>>> keys;
    for (const Item &item : shown)
        keys.insert(key(item));
    std::vector<Item> added;
    for (const Item &item : page)
        if (keys.insert(key(item)).second)
            added.push_back(item);
    return added;
}

// Items without an id of their own (two real ones may be alike) are told apart by where they
// stand. A list loads newest first, so entries added on the server since the last page push
// that many of its rows onto the next page, where they open it: the longest run at the start of
// `page` that repeats the end of what is shown. Such a run may also be real entries that only
// look like the last ones shown.
template <class Item> std::size_t hsOverlap(const std::vector<Item> &shown, const std::vector<Item> &page)
{
    for (std::size_t run = std::min(shown.size(), page.size()); run > 0; --run)
        if (std::equal(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(run),
                       shown.end() - static_cast<std::ptrdiff_t>(run)))
            return run;
    return 0;
}

// The rows of `page` that follow what is shown, told apart by the page before it as the service
// holds it now (`before`): the last page's worth of shown rows is found in `before` followed by
// `page`, and what comes after it is new. When it is not found (the list moved by more than a
// page), the overlap alone is left out.
template <class Item>
std::vector<Item> hsRowsAfterShown(const std::vector<Item> &shown, const std::vector<Item> &before,
                                   const std::vector<Item> &page)
{
    const auto tailStart = shown.end() - static_cast<std::ptrdiff_t>(std::min(shown.size(), before.size()));
    std::vector<Item> window = before;
    window.insert(window.end(), page.begin(), page.end());
    const auto found = std::search(window.begin(), window.end(), tailStart, shown.end());
    if (found == window.end() || tailStart == shown.end())
        return {page.begin() + static_cast<std::ptrdiff_t>(hsOverlap(shown, page)), page.end()};
    return {found + (shown.end() - tailStart), window.end()};
}
