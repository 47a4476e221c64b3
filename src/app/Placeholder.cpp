// placeholder until the window lands
namespace kestrix {}
