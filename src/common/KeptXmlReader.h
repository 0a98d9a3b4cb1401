#pragma once

#include <libxml/parser.h>

// An XML reader context kept per thread from one input to the next, so that each input does not
// set up (and tear down) the reader's buffers, stacks and name dictionary anew. The dictionary
// keeps every name it has seen; a context that has read many inputs, or collected many names, is
// replaced, so that its memory stays bounded whatever the inputs hold.
class KeptXmlReader
{
public:
    // Makes a new context with the handler its inputs are read with; null when it cannot.
    using MakeContext = xmlParserCtxtPtr (*)();

    explicit KeptXmlReader(MakeContext make) : make_(make) {}
    ~KeptXmlReader() { release(); }
    KeptXmlReader(const KeptXmlReader &) = delete;
    KeptXmlReader &operator=(const KeptXmlReader &) = delete;

    // The kept context, or a new one when there was none or the kept one has served its time;
    // null when none can be made. The caller resets it for its input.
    xmlParserCtxtPtr take()
    {
        if (context_ != nullptr && (uses_ >= kMaxUses || xmlDictSize(context_->dict) > kMaxNames))
            release();
        if (context_ == nullptr) {
            context_ = make_();
            uses_ = 0;
        }
        if (context_ != nullptr)
            ++uses_;
        return context_;
    }

    // The same for a context that reads its input in pieces (one made by xmlCreatePushParserCtxt),
    // reset for the next input; null when none can be had.
    xmlParserCtxtPtr takeForPieces()
    {
        xmlParserCtxtPtr context = take();
        if (context != nullptr && xmlCtxtResetPush(context, nullptr, 0, nullptr, nullptr) != 0) {
            release();
            return nullptr;
        }
        return context;
    }

    // A context whose reading failed part-way is not trusted with the next input.
    void discard() { release(); }

private:
    static constexpr int kMaxUses = 1000;
    static constexpr int kMaxNames = 4096;

    void release()
    {
        if (context_ == nullptr)
            return;
        if (context_->myDoc != nullptr)
            xmlFreeDoc(context_->myDoc);
        context_->myDoc = nullptr;
        xmlFreeParserCtxt(context_);
        context_ = nullptr;
    }

    MakeContext make_;
    xmlParserCtxtPtr context_ = nullptr;
    int uses_ = 0;
};
