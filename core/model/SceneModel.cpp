#include "core/model/SceneModel.h"

namespace kv {

Scene::Scene()
{
    Node root;
    root.name = "scene";
    root.kind = NodeKind::Root;
    nodes_.push_back(std::move(root));
}

int Scene::AddNode(Node node, int parent)
{
    const int index = static_cast<int>(nodes_.size());
    node.parent = parent;
    nodes_.push_back(std::move(node));
    if (parent >= 0) nodes_[static_cast<std::size_t>(parent)].children.push_back(index);
    return index;
}

int Scene::Find(const std::string& name) const
{
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i].name == name) return static_cast<int>(i);
    return -1;
}

int Scene::AddMaterial(Material material)
{
    materials_.push_back(std::move(material));
    return static_cast<int>(materials_.size()) - 1;
}

int Scene::UseImage(const std::string& name, ImageSource source)
{
    for (std::size_t i = 0; i < images_.size(); ++i)
        if (images_[i].name == name) return static_cast<int>(i);
    images_.push_back(ImageFile{name, source});
    return static_cast<int>(images_.size()) - 1;
}

Matrix34 Scene::LocalTransform(int index) const
{
    const Node& n = node(index);
    if (n.parent <= Root()) return n.frame.transform;
    return WorldTransform(n.parent).Inverse() * n.frame.transform;
}

}  // namespace kv
