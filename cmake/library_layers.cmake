# The layers of both libraries, each a folder with all its subfolders,
# followed after the colon by the layers it builds on; quorlan/public is
# Quorlan's public header. check_layers.cmake reads them.
set(PELORIX_LIBRARY_LAYERS
  quorlan/include
  quorlan/message
  quorlan/platform
  quorlan/transport:quorlan/message,quorlan/platform
  quorlan/device:quorlan/transport,quorlan/message,quorlan/platform
  quorlan/capi:quorlan/device,quorlan/transport,quorlan/message,quorlan/platform,quorlan/public
  pelorixj/platform
  pelorixj/device:pelorixj/platform,quorlan/message,quorlan/public
  pelorixj/brannet:pelorixj/device,pelorixj/platform,quorlan/message
  pelorixj/core:pelorixj/brannet,pelorixj/device,pelorixj/platform,quorlan/message
  pelorixj/jni:pelorixj/core,pelorixj/brannet,pelorixj/device,pelorixj/platform,quorlan/message)
