#pragma once

#include "documents/DocumentParser.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

// A fresh parser of type P fed one document.
template <typename P> std::unique_ptr<P> parsed(std::string_view document)
{
    auto parser = std::make_unique<P>();
    hsParseDocument(document, *parser);
    return parser;
}

// A fresh parser of type P fed a canned document from the test data folder.
template <typename P> std::unique_ptr<P> parsedCanned(const std::string &name)
{
    std::ifstream file(std::string(HSSCHOOL_DOCUMENTS_DATA) + "/" + name, std::ios::binary);
    if (!file)
        throw std::runtime_error("missing canned document " + name);
    std::ostringstream content;
    content << file.rdbuf();
    return parsed<P>(content.str());
}
