s : sort .
c : s .
f : s -> s .
plus : int -> int -> int SQL "+" .
p : s - -> pred DB %dbinfo "p" ("v") .
q : s + -> pred SUBJ .
r : int + -> int + -> pred SQL "<" .
e : string + -> date - -> pred EVAL .
