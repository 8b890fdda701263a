#pragma once
// Which kinds of container file the content tests open to read the text inside, instead of
// comparing the file's own bytes.
namespace engine
{

struct ContainerKinds
{
    bool documents = true; // Word, Excel, PowerPoint and OpenDocument files
    bool archives = false; // zip archives: the text members

    bool Any() const { return documents || archives; }
    bool operator==(const ContainerKinds& other) const
    {
        return documents == other.documents && archives == other.archives;
    }
    bool operator!=(const ContainerKinds& other) const { return !(*this == other); }
};

} // namespace engine
