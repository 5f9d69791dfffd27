# cmake -DOUTPUT=file -DINPUTS=a,b,c -P concatenate.cmake: joins the inputs in order.
string(REPLACE "," ";" INPUTS "${INPUTS}")
file(WRITE ${OUTPUT} "")
foreach(input IN LISTS INPUTS)
  file(READ ${input} text)
  file(APPEND ${OUTPUT} "${text}")
endforeach()
