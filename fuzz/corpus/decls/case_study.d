% The vocabulary of the HIPAA Privacy Rule case study: the disclosure rules
% of 45 CFR 164.502 to 164.514 and the right of access of 164.524.
%
% Principals (people and organisations) and message identifiers are strings:
% the log may name any of them.  Attributes, purposes and roles are closed
% vocabularies declared below as constants.  Every log table stores each
% value in its printed form: strings with their double quotes, constants
% bare, dates as year:month:day:hour:minute:second.

(* ------------------------------------------------------------------ *)
(* Sorts                                                               *)
(* ------------------------------------------------------------------ *)

attribute : sort .
purpose : sort .
role : sort .

(* ------------------------------------------------------------------ *)
(* Attributes of an individual that a message may carry.  The          *)
(* inclusions among them (what counts as protected health information) *)
(* are rows of the table attr_in_db.                                   *)
(* ------------------------------------------------------------------ *)

phi : attribute .
medical-record : attribute .
diagnosis : attribute .
prescription : attribute .
lab-result : attribute .
treatment-history : attribute .
psychotherapy-notes : attribute .
genetic-information : attribute .
billing-info : attribute .
insurance-id : attribute .
demographics : attribute .
name : attribute .
address : attribute .
date-of-birth : attribute .
location-in-facility : attribute .
general-condition : attribute .
religious-affiliation : attribute .
physical-description : attribute .
limited-data-set : attribute .
de-identified : attribute .

(* ------------------------------------------------------------------ *)
(* Purposes of a disclosure.  The specific purposes that the scenario  *)
(* generalises come first, then the general purposes, then the         *)
(* purposes of the individual clauses.                                 *)
(* ------------------------------------------------------------------ *)

treatment : purpose .
healthcare-op : purpose .
healthcare-op-para-1-2 : purpose .
payment : purpose .
law-enforcement-relevant-id-or-location : purpose .
report-possible-crime-on-premises : purpose .
alert-of-crime-commission-location-victims-perpetrator : purpose .
suspicious-death-notification : purpose .

Treatment : purpose .
Healthcare-op : purpose .
Payment : purpose .
law-enforcement : purpose .

law-enforcement-court-order : purpose .
crime-victim-information : purpose .
required-by-law : purpose .
public-health : purpose .
abuse-neglect-report : purpose .
health-oversight : purpose .
judicial-proceeding : purpose .
decedent-identification : purpose .
funeral-arrangements : purpose .
organ-donation : purpose .
research : purpose .
serious-threat-prevention : purpose .
military-mission : purpose .
national-security : purpose .
protective-services : purpose .
correctional-custody : purpose .
workers-compensation : purpose .
facility-directory : purpose .
care-involvement : purpose .
disaster-relief : purpose .
marketing : purpose .
sale-of-phi : purpose .
underwriting : purpose .
fundraising : purpose .
compliance-investigation : purpose .
whistleblowing : purpose .
plan-administration : purpose .
individual-access : purpose .

(* ------------------------------------------------------------------ *)
(* Roles a principal holds at a time (table inrole_db).  The scenario  *)
(* reads health-care-provider also as Health-care-provider.            *)
(* ------------------------------------------------------------------ *)

health-care-provider : role .
Health-care-provider : role .
health-plan : role .
group-health-plan : role .
plan-sponsor : role .
health-care-clearinghouse : role .
covered-entity : role .
business-associate : role .
public-health-authority : role .
government-authority : role .
health-oversight-agency : role .
court : role .
law-enforcement-official : role .
coroner : role .
medical-examiner : role .
funeral-director : role .
organ-procurement-organization : role .
researcher : role .
armed-forces-command : role .
federal-official : role .
correctional-institution : role .
workers-compensation-insurer : role .
clergy : role .
family-member : role .
close-friend : role .
disaster-relief-entity : role .
attorney : role .
secretary-hhs : role .
employer : role .
marketing-firm : role .

(* ------------------------------------------------------------------ *)
(* Evaluated predicates: decided by the scenario's code.               *)
(* ------------------------------------------------------------------ *)

% (hasattrof m q a): message m carries attribute a of individual q.
hasattrof : string + -> string - -> attribute - -> pred EVAL .
% (attr_in a b): attribute a is included in attribute b.
attr_in : attribute + -> attribute - -> pred EVAL .
eq_prin : string + -> string - -> pred EVAL .
eq_time : date + -> date - -> pred EVAL .
eq_msg : string + -> string - -> pred EVAL .
% (disclose-eval p1 p2 m t): p1 sent message m to p2 at time t.
disclose-eval : string - -> string - -> string - -> date - -> pred EVAL .
% (time_in d1 d2 d3): d1 < d2 <= d3.
time_in : date + -> date + -> date + -> pred EVAL .
% (lessthan d1 d2): d1 <= d2.
lessthan : date + -> date + -> pred EVAL .
% (purp_in m u): message m was disclosed for purpose u (or for a specific
% purpose that u generalises).
purp_in : string + -> purpose - -> pred EVAL .
% (sub_attr a b): a is the attribute b itself.
sub_attr : attribute - -> attribute + -> pred EVAL .
% (inrole p r t): principal p holds role r at time t.
inrole : string + -> role - -> date + -> pred EVAL .

(* Evaluated constructors: deadlines in days. *)

prompt : int EVAL .
t_reasonable : int EVAL .
plus : date -> int -> date EVAL .

(* ------------------------------------------------------------------ *)
(* Log tables.  The first five serve the evaluated predicates above.   *)
(* ------------------------------------------------------------------ *)

attr_in_db : attribute - -> attribute - -> string - -> pred DB
  %dbinfo "attr_in_db" ("subattr", "superattr", "basis") .
hasattrof_db : string - -> string - -> attribute - -> date - -> pred DB
  %dbinfo "hasattrof_db" ("info", "subject", "attr", "recorded") .
disclose : string - -> string - -> string - -> date - -> pred DB
  %dbinfo "disclose" ("sender", "recipient", "info", "at") .
inrole_db : string - -> role - -> date - -> pred DB
  %dbinfo "inrole_db" ("person", "role", "at") .
purp_in_db : string - -> purpose - -> string - -> pred DB
  %dbinfo "purp_in_db" ("info", "purpose", "stated_by") .

% (authorization q p1 p2 a u s e): individual q authorised p1 to disclose
% attribute a to p2 for purpose u; signed at s, valid until e (164.508(c)).
% A revocation is recorded by moving the expiry date back.
authorization : string - -> string - -> string - -> attribute - -> purpose - -> date - -> date - -> pred DB
  %dbinfo "authorization" ("individual", "discloser", "recipient", "attr", "purpose", "signed", "expires") .
% (ba_agreement ce ba s e): business associate contract between the covered
% entity ce and ba, in force from s until e (164.502(e), 164.504(e)).
ba_agreement : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "ba_agreement" ("covered_entity", "associate", "signed", "ends") .
% (personal_rep r q s): r is the personal representative of q since s.
personal_rep : string - -> string - -> date - -> pred DB
  %dbinfo "personal_rep" ("representative", "individual", "since") .
% (no_objection q ce u s): q was told of disclosures by ce for purpose u and
% given the opportunity to object, and did not object, recorded at s.
no_objection : string - -> string - -> purpose - -> date - -> pred DB
  %dbinfo "no_objection" ("individual", "covered_entity", "purpose", "recorded") .
% (relationship q ce s): q has been a patient or member of ce since s.
relationship : string - -> string - -> date - -> pred DB
  %dbinfo "relationship" ("individual", "entity", "since") .
% (protocol ce u a): the standard protocol of ce for routine disclosures
% for purpose u includes attribute a (164.514(d)(3)(i)).
protocol : string - -> purpose - -> attribute - -> pred DB
  %dbinfo "protocol" ("covered_entity", "purpose", "attr") .
% (data_use_agreement ce r s e): data use agreement for a limited data set.
data_use_agreement : string - -> string - -> date - -> date - -> pred DB
  %dbinfo "data_use_agreement" ("covered_entity", "recipient", "signed", "ends") .
% (deceased q d): individual q died at d.
deceased : string - -> date - -> pred DB
  %dbinfo "deceased" ("individual", "died") .
% (access_request q ce r): q asked ce for access to q's record, received at r.
access_request : string - -> string - -> date - -> pred DB
  %dbinfo "access_request" ("individual", "covered_entity", "received") .

(* ------------------------------------------------------------------ *)
(* Subjective judgements that the law leaves to people.  They always   *)
(* stay in the residual formula for a human auditor.                   *)
(* ------------------------------------------------------------------ *)

% 164.502(b), 164.514(d)(3)(ii): a non-routine disclosure was reviewed and
% limited to the minimum necessary.
minimum-necessary-reviewed : string + -> string + -> string + -> pred SUBJ .
% 164.510(a)(3), 164.510(b)(3): emergency or incapacity, and the disclosure
% is in the individual's best interest in professional judgement.
incapacity-or-emergency : string + -> pred SUBJ .
professional-judgement-best-interest : string + -> string + -> pred SUBJ .
% 164.510(b)(1): the information is directly relevant to the recipient's
% involvement with the individual's care or payment.
directly-relevant-to-involvement : string + -> string + -> pred SUBJ .
% 164.512(a), 164.512(f)(1): a law requires the disclosure and it complies
% with and is limited to that law.
required-by-law-and-limited : string + -> string + -> string + -> pred SUBJ .
% 164.512(c)(1): reasonable belief that the individual is a victim of abuse,
% neglect or domestic violence.
believes-victim-of-abuse : string + -> string + -> pred SUBJ .
% 164.512(c)(2)(i): informing the individual would place them at risk of
% serious harm, or the informed person is responsible for the abuse.
informing-would-endanger : string + -> string + -> pred SUBJ .
% 164.512(e)(1): the order or subpoena expressly covers the information, or
% satisfactory assurances were received.
court-order-covers : string + -> string + -> pred SUBJ .
subpoena-with-satisfactory-assurance : string + -> string + -> pred SUBJ .
% 164.512(f)(2): the official asked for identification or location.
identification-request : string + -> string + -> pred SUBJ .
% 164.512(f)(3): the victim agreed, or cannot agree and the conditions of
% (f)(3)(ii) hold.
victim-agreement-or-exception : string + -> string + -> pred SUBJ .
% 164.512(f)(4): suspicion that the death resulted from criminal conduct.
suspects-criminal-death : string + -> string + -> pred SUBJ .
% 164.512(f)(5): good faith belief of evidence of a crime on the premises.
good-faith-crime-on-premises : string + -> string + -> pred SUBJ .
% 164.512(f)(6): the provider is giving emergency care off the premises.
emergency-care-off-premises : string + -> string + -> pred SUBJ .
% 164.512(g)(2), 164.512(i)(1)(iii): death is reasonably anticipated; the
% researcher's representations about decedents' information.
death-reasonably-anticipated : string + -> string + -> pred SUBJ .
decedent-research-representation : string + -> string + -> pred SUBJ .
% 164.512(i)(1)(i): waiver of authorisation approved by an IRB or privacy
% board.
research-waiver-approved : string + -> string + -> pred SUBJ .
% 164.512(j)(1): good faith belief of a serious and imminent threat, and the
% recipient is reasonably able to prevent or lessen it.
good-faith-serious-threat : string + -> string + -> pred SUBJ .
% 164.512(k): the activity is an authorised one of the recipient.
authorised-government-function : string + -> string + -> pred SUBJ .
% 164.512(l): the disclosure complies with workers' compensation law.
complies-with-workers-comp-law : string + -> string + -> pred SUBJ .
% 164.502(j)(1): good faith belief of unlawful conduct or endangerment.
good-faith-unlawful-conduct : string + -> pred SUBJ .
% 164.504(f)(2): the plan documents restrict the plan sponsor's use.
plan-documents-amended : string + -> string + -> pred SUBJ .
% 164.508(a)(3)(i): face-to-face marketing, or a promotional gift of
% nominal value.
face-to-face-or-nominal-gift : string + -> string + -> pred SUBJ .
% 164.524(a)(2), (a)(3): grounds for denying access exist.
access-denial-grounds : string + -> string + -> pred SUBJ .
